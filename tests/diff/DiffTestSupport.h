#pragma once
// Shared set-up of the comparison tests: a database read as the comparison reads it, a wanted
// database made from a source by random edits through the builder (as the editor makes them)
// and written with our writer, and the document reopened and run through the update server.

#include "db/cpDatabase.h"
#include "db/paradox/ParadoxWriter.h"
#include "db/TvxParadoxEngine.h"
#include "model/vxFieldTypes.h"
#include "model/vxTextCase.h"
#include "script/cpDBStructScript.h"
#include "script/TvxScriptReplayer.h"
#include "script/TvxScriptTableList.h"
#include "script/vxNameCompare.h"

#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "diff/TvxDiffDatabase.h"
#include "diff/TvxFieldRenames.h"
#include "server/TvxParadoxTableReader.h"
#include "server/TvxUpdateServer.h"
#include "server/vxRecordSources.h"
#include "support/TempDir.h"
#include "support/TestFields.h"

namespace morvane::test {

inline TvxDiffDatabase ReadSide(const std::string& dir, const std::vector<std::string>& passwords = {})
{
    TempDir config;
    auto engine = CreateParadoxEngine(config.file("aliases.conf"));
    TvxDatabase db(*engine);
    for (const auto& p : passwords)
        db.Session().AddPassword(p);
    db.OpenByPath(dir);
    return ReadDiffDatabase(db, passwords);
}

// Runs the update script from source into target, then the maintenance script on target. Empty
// when both succeed without problem records, else the message of the run that did not.
inline std::string RunScripts(const std::string& update, const std::string& maintenance, const std::string& source,
                              const std::string& target, const std::vector<std::string>& passwords = {})
{
    for (const bool first : {true, false}) {
        const std::string& file = first ? update : maintenance;
        TvxUpdateServer server;
        server.SetSource(first ? source : target);
        server.SetNewPath(target);
        server.SetScriptFile(file);
        for (const auto& p : passwords)
            server.AddPassword(p);
        if (server.Run() != 0)
            return file + ": " + server.Report().message;
    }
    return {};
}

// Every record of a table of dir, each value as a comparable key, per field name.
inline std::map<std::string, std::vector<std::string>> Columns(const std::string& dir, const std::string& table,
                                                               const std::vector<std::string>& passwords = {})
{
    TvxParadoxTableReader reader(dir, passwords);
    const std::string file = *reader.FindTable(table);
    const TvxTableDesc desc = reader.ReadStructure(file);
    std::map<std::string, std::vector<std::string>> out;
    auto source = reader.OpenRecords(file);
    TvxRecord r;
    while (source->Next(r))
        for (int i = 0; i < desc.FieldCount() && i < static_cast<int>(r.size()); ++i) {
            const TvxFieldValue& v = r[static_cast<std::size_t>(i)];
            // Only what the value's kind holds (a reader refills one record in place).
            std::string key(1, static_cast<char>(v.kind()));
            switch (v.kind()) {
            case TvxFieldValue::Kind::Blank:
                break;
            case TvxFieldValue::Kind::Float:
            case TvxFieldValue::Kind::Timestamp:
                key += std::to_string(v.real());
                break;
            case TvxFieldValue::Kind::Bcd:
            case TvxFieldValue::Kind::Bytes:
                key += v.text();
                break;
            default:
                key += std::to_string(v.integer());
                break;
            }
            out[UpperText(desc.GetField(i)->name())].push_back(key);
        }
    for (auto& [name, values] : out)
        std::sort(values.begin(), values.end());
    return out;
}

// Tables of dir whose records our reader refuses (damaged samples): no run can carry them.
inline std::vector<std::string> UnreadableTables(const std::string& dir, const std::vector<std::string>& passwords)
{
    std::vector<std::string> out;
    TvxParadoxTableReader reader(dir, passwords);
    for (const auto& e : std::filesystem::directory_iterator(dir)) {
        if (!SameText(e.path().extension().string(), ".db"))
            continue;
        const std::string name = e.path().stem().string();
        try {
            auto source = reader.OpenRecords(*reader.FindTable(name));
            TvxRecord r;
            while (source->Next(r)) {
            }
        } catch (const std::exception&) {
            out.push_back(name);
        }
    }
    return out;
}

// A wanted database made from a source one by random edits through the builder: tables left
// out and created, fields created (some with a required check and its default), deleted,
// renamed, widened and moved, keys kept only where the edits left them valid, indexes added.
// Knows which wanted field carries which source field unchanged, for the records check.
class TvxWantedMaker
{
public:
    // The password of the new tables the maker protects.
    static constexpr const char* NewTablePassword = "neu";

    // Tables named in leaveOut are left out of the wanted database.
    TvxWantedMaker(const TvxDiffDatabase& source, unsigned seed, std::vector<std::string> leaveOut = {})
        : source_(source), rng_(seed), leaveOut_(std::move(leaveOut))
    {
        script_.SetScriptTableList(&list_);
    }
    ~TvxWantedMaker() { script_.SetScriptTableList(nullptr); }

    // Edits, then writes every new table into dir. Returns the renames the edits made.
    TvxFieldRenames Make(const std::string& dir, const std::string& password = {});

    struct Carried
    {
        std::string table, sourceField, wantedField;
    };
    // Wanted fields that hold a source field's values in the same type and size.
    const std::vector<Carried>& CarriedFields() const { return carried_; }

private:
    struct Field
    {
        std::string name;
        std::string origin; // the source field it carries, "" for a new field
        bool sameShape = true;
    };
    struct Table
    {
        std::string name;
        const TvxTableDesc* source = nullptr;
        std::vector<Field> fields;
        bool edited = false;
    };

    int Pick(int n) { return n <= 0 ? 0 : std::uniform_int_distribution<int>(0, n - 1)(rng_); }
    bool Chance(int percent) { return Pick(100) < percent; }
    std::string NextName(const char* prefix)
    {
        std::string name = prefix;
        name += std::to_string(++names_);
        return name;
    }
    void Add(std::uint8_t kind, std::vector<TvxValue> values, TvxCommandExtras extras = {});
    void Select(const Table& t, int pos);
    TvxTableDesc& Desc(const Table& t) { return *list_.TableByName(t.name); }
    void EditFields(Table& t);
    void CreateField(Table& t, int pos);
    void MakeValid(Table& t, const std::vector<Table>& tables);

    const TvxDiffDatabase& source_;
    std::mt19937 rng_;
    std::vector<std::string> leaveOut_;
    TvxScriptTableList list_;
    TvxDBScript script_;
    int names_ = 0;
    std::vector<Carried> carried_;
};

} // namespace morvane::test
