#pragma once
// Helpers of the writer tests: records from a vector, tables described in a line, the sample
// tables as the engine reads them (descriptor, records, the header the rewrite keeps) and
// the records our reader gives back from a written family.

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "db/IvxRecordSource.h"
#include "db/TvxParadoxDatabase.h"
#include "db/paradox/ParadoxByteSource.h"
#include "db/paradox/ParadoxRecordReader.h"
#include "db/paradox/ParadoxWriter.h"
#include "model/clvxTableDesc.h"
#include "support/TestFields.h"

namespace morvane::test {

class VectorSource : public IvxRecordSource
{
public:
    explicit VectorSource(std::vector<TvxRecord> records) : records_(std::move(records)) {}
    bool Next(TvxRecord& record) override
    {
        if (next_ == records_.size())
            return false;
        record = records_[next_++];
        return true;
    }

private:
    std::vector<TvxRecord> records_;
    std::size_t next_ = 0;
};

struct FieldSpec
{
    const char* name;
    int type;
    int size = 0;
};

// A table of level `level` (0: none given) whose first keyFields fields are its key.
inline TvxTableDesc MakeTable(const std::vector<FieldSpec>& fields, int keyFields, int level = 7)
{
    TvxTableDesc desc;
    std::vector<TvxFieldDesc> out;
    for (const auto& f : fields)
        out.push_back(MakeField(f.name, static_cast<int>(out.size()) + 1, f.type, f.size));
    desc.SetFields(out);
    if (keyFields > 0) {
        TvxIndexDesc key;
        key.setPrimary(true);
        key.setUnique(true);
        key.setMaintained(true);
        key.setKeyFieldCount(keyFields);
        for (int i = 0; i < keyFields; ++i)
            key.setKeyField(i, i + 1);
        desc.SetIndexes({key});
    }
    desc.CursorProps().setTableLevel(level);
    desc.CursorProps().setLanguageDriver("ascii");
    desc.CursorProps().setCodePage(1252);
    return desc;
}

inline TvxIndexDesc SecondaryIndex(const std::string& name, std::vector<int> fields, bool caseInsensitive = false,
                                   bool unique = false, bool descending = false)
{
    TvxIndexDesc x;
    x.setName(name);
    x.setMaintained(true);
    x.setCaseInsensitive(caseInsensitive);
    x.setUnique(unique);
    x.setDescending(descending);
    x.setKeyFieldCount(static_cast<int>(fields.size()));
    for (std::size_t i = 0; i < fields.size(); ++i)
        x.setKeyField(static_cast<int>(i), fields[i]);
    return x;
}

// The file of a table's family with that extension, any letter case; empty when missing.
inline std::string FamilyFile(const std::filesystem::path& db, const std::string& extension)
{
    const auto lower = [](std::string s) {
        for (auto& c : s)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        return s;
    };
    const std::string wanted = lower(extension);
    for (const auto& e : std::filesystem::directory_iterator(db.parent_path())) {
        const std::string ext = lower(e.path().extension().string());
        if (lower(e.path().stem().string()) == lower(db.stem().string()) && ext.size() > 1 && ext.substr(1) == wanted)
            return e.path().string();
    }
    return {};
}

// Every record of a table through our reader. faults (when given) receives the numbers
// (0-based) of records with a damaged value, which the reader passes blank; without it such a
// value throws.
inline std::vector<TvxRecord> ReadRecords(const std::filesystem::path& db, std::uint32_t key = 0,
                                          std::vector<std::size_t>* faults = nullptr)
{
    const std::string mb = FamilyFile(db, "mb");
    ParadoxRecordReader reader(ParadoxFileSource::Open(db.string()), mb.empty() ? nullptr : ParadoxFileSource::Open(mb),
                               key);
    std::vector<TvxRecord> out;
    TvxRecord r;
    for (;;) {
        try {
            if (!reader.Next(r))
                break;
        } catch (const EvxEngineError&) {
            if (!faults || !reader.Resumable())
                throw;
            faults->push_back(out.size());
        }
        out.push_back(r);
    }
    return out;
}

// A table of a directory as the engine reads it: its descriptor and what a rewrite keeps of
// its header.
struct SourceTable
{
    std::string fileName; // "CUST.DB"
    std::string base;     // "CUST"
    TvxTableDesc desc;
    ParadoxHeaderCarry carry;
    std::uint32_t key = 0;
};

SourceTable ReadSourceTable(const std::string& directory, const std::string& fileName,
                            const std::vector<std::string>& passwords = {});

} // namespace morvane::test
