#pragma once
// Shared set-up of the server tests: scripts made through the builder (as the editor makes
// them), the fingerprint of a directory's files, tables read back with our reader and pxlib.

#include <gtest/gtest.h>
extern "C" {
#include <paradox.h>
}

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "model/vxFieldTypes.h"
#include "script/TvxScriptTableList.h"
#include "script/cpDBStructScript.h"
#include "script/vxUpdateScriptFile.h"
#include "server/TvxParadoxTableReader.h"
#include "support/TempDir.h"
#include "support/TestFields.h"

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

namespace morvane::test {

// A document as the editor builds it: every edit through the builder's AddCommand, the table
// selected first and the grid row put where the user would click.
class TvxScriptMaker
{
public:
    TvxScriptMaker() { script.SetScriptTableList(&list); }

    void Source(const std::string& dir) { Add(ckAddAlias, {"", "STANDARD", dir}); }
    void Target(const std::string& dir) { Add(ckAddNewAlias, {"", "STANDARD", dir}); }
    void CreateTable(const std::string& name) { Add(ckCreateTable, {name}); }
    // The source table's structure as the editor clones it from the source database.
    void AddTable(const std::string& name, const std::string& sourceDir, const std::string& sourceTable)
    {
        TvxParadoxTableReader reader(sourceDir, passwords);
        const TvxTableDesc desc = reader.ReadStructure(*reader.FindTable(sourceTable));
        Add(ckAddTable, {name}, TvxCommandExtras::ForAddTable(std::make_unique<TvxTableDesc>(desc.Clone())));
    }
    // pos: 0-based position of the new field; -1 appends.
    void CreateField(const std::string& table, TvxFieldDesc field, int pos = -1, const std::string& value = "")
    {
        Select(table, pos);
        field.setFieldNumber(list.CurrentFieldPos() + 1);
        Add(ckCreateField, {table}, TvxCommandExtras::ForCreateField(field, value));
    }
    void ChangeField(const std::string& table, const std::string& name, TvxFieldDesc to)
    {
        Select(table, 0);
        const int pos = list.FieldNumber(name) - 1;
        list.SetCurrentFieldPos(pos);
        const TvxFieldDesc from = *list.CurrentField();
        to.setFieldNumber(from.fieldNumber());
        Add(ckChangeField, {table}, TvxCommandExtras::ForFields(from, to));
    }
    void DeleteField(const std::string& table, const std::string& name)
    {
        Select(table, -1);
        Add(ckDeleteField, {table, name});
    }
    void MoveField(const std::string& sourceDir, const std::string& sourceTable, const std::string& fieldName,
                   const std::string& table, const std::string& newName = {}, int pos = -1)
    {
        TvxParadoxTableReader reader(sourceDir, passwords);
        const std::string file = *reader.FindTable(sourceTable);
        const TvxTableDesc desc = reader.ReadStructure(file);
        TvxFieldDesc from;
        EXPECT_TRUE(desc.FindField(fieldName, from)) << fieldName;
        Select(table, pos);
        TvxFieldDesc to = from;
        to.setFieldNumber(list.CurrentFieldPos() + 1);
        if (!newName.empty())
            to.setName(newName);
        Add(ckMoveField, {file, table}, TvxCommandExtras::ForFields(from, to));
    }
    void AddPassword(const std::string& table, const std::string& password)
    {
        Add(ckAddPassword, {table, password});
    }
    // The new table's descriptor, for index, check and rule edits (which record no command).
    TvxTableDesc& Table(const std::string& name) { return *list.TableByName(name); }

    std::string SaveUpdate(const std::string& file) const
    {
        SaveUpdateScript(file, "Morvane", script);
        return file;
    }
    std::string SaveMaintenance(const std::string& file) const
    {
        SaveMaintenanceScript(file, "Morvane", list);
        return file;
    }

    std::vector<std::string> passwords;
    TvxScriptTableList list;
    TvxDBScript script;

private:
    void Select(const std::string& table, int pos)
    {
        list.SelectIndex(list.IndexOfName(table));
        list.SetCurrentFieldPos(pos < 0 ? list.FieldCount() : pos);
    }
    void Add(std::uint8_t kind, std::vector<TvxValue> values, TvxCommandExtras extras = {})
    {
        auto command = std::make_unique<TvxCommand>(kind, values);
        ASSERT_EQ(script.AddCommand(command, std::move(extras)), 0) << CommandKindLabel(kind);
    }
};

// Name, size and a 64-bit hash of every file under dir (sub-directories included).
inline std::map<std::string, std::string> Fingerprint(const std::filesystem::path& dir)
{
    std::map<std::string, std::string> out;
    std::error_code ec;
    for (auto it = std::filesystem::recursive_directory_iterator(dir, ec);
         !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
        const std::string rel = std::filesystem::relative(it->path(), dir).string();
        if (!it->is_regular_file()) {
            out[rel] = "(dir)";
            continue;
        }
        std::ifstream in(it->path(), std::ios::binary);
        const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        std::uint64_t h = 1469598103934665603ULL;
        for (const char c : bytes)
            h = (h ^ static_cast<unsigned char>(c)) * 1099511628211ULL;
        out[rel] = std::to_string(bytes.size()) + ":" + std::to_string(h);
    }
    return out;
}

// Every record of a table of dir, read with our reader.
inline std::vector<TvxRecord> ReadAll(const std::string& dir, const std::string& table,
                                      std::vector<std::string> passwords = {})
{
    TvxParadoxTableReader reader(dir, std::move(passwords));
    const std::optional<std::string> file = reader.FindTable(table);
    EXPECT_TRUE(file.has_value()) << table << " in " << dir;
    std::vector<TvxRecord> records;
    if (!file)
        return records;
    std::unique_ptr<IvxRecordSource> source = reader.OpenRecords(*file);
    TvxRecord r;
    while (source->Next(r))
        records.push_back(r);
    return records;
}

inline TvxTableDesc Structure(const std::string& dir, const std::string& table,
                              std::vector<std::string> passwords = {})
{
    TvxParadoxTableReader reader(dir, std::move(passwords));
    return reader.ReadStructure(*reader.FindTable(table));
}

// pxlib's reading of a table: the record count and the Alpha values of one field (-1: none).
struct PxTable
{
    bool opened = false;
    int records = 0;
    int fields = 0;
    std::vector<std::string> alpha;
};

inline PxTable PxRead(const std::string& path, int alphaField = -1)
{
#if defined(__SANITIZE_ADDRESS__)
    __lsan::ScopedDisabler noLeakCheck; // pxlib leaks
#endif
    PxTable t;
    pxdoc_t* px = PX_new2([](pxdoc_t*, int, const char*, void*) {}, nullptr, nullptr, nullptr);
    if (!px)
        return t;
    if (PX_open_file(px, path.c_str()) == 0) {
        t.opened = true;
        const pxhead_t* h = px->px_head;
        t.records = h->px_numrecords;
        t.fields = h->px_numfields;
        std::vector<char> buf(static_cast<std::size_t>(h->px_recordsize));
        int offset = 0;
        for (int i = 0; i < alphaField && i < h->px_numfields; ++i)
            offset += h->px_fields[i].px_flen;
        for (int r = 0; alphaField >= 0 && r < h->px_numrecords; ++r) {
            if (!PX_get_record(px, r, buf.data())) {
                t.opened = false;
                break;
            }
            char* str = nullptr;
            const int got = PX_get_data_alpha(px, buf.data() + offset, h->px_fields[alphaField].px_flen, &str);
            t.alpha.push_back(got > 0 && str ? std::string(str) : std::string());
            if (str)
                px->free(px, str);
        }
        PX_close(px);
    }
    PX_delete(px);
    return t;
}

} // namespace morvane::test
