// Every sample table exported to SQLite and to CSV and read back: the same records as our
// reader gives, in the forms of the dump; the keys, indexes and rules of every table present
// in the SQLite database; a protected table without its password refused with nothing left.

#include "db/EvxEngineError.h"

#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>

#include "export/EvxExportError.h"
#include "ExportTestSupport.h"
#include "support/SamplePath.h"

namespace morvane {
namespace {

namespace fs = std::filesystem;
using test::ExportSource;
using test::SqliteFile;
using test::TempDir;
using test::TvxRows;

using test::sampleSets;
using test::sorted;
using test::tableName;

std::string quoted(const std::string& name)
{
    std::string out(1, '"');
    out += name;
    out += '"';
    return out;
}

TEST(ExportSamples, SqliteHoldsEveryRecordKeyIndexAndRule)
{
    for (const auto& set : sampleSets) {
        SCOPED_TRACE(set.name);
        TempDir out;
        ExportSource source(test::SamplePath(set.name), set.passwords);
        const TvxExportResult result = source.Export(TvxExportFormat::Sqlite, out.file("out.sqlite"));
        SqliteFile db(out.file("out.sqlite"));
        const TvxTableItems tables = source.db().ReadTables();
        ASSERT_EQ(result.tables.size(), tables.size());
        for (std::size_t t = 0; t < tables.size(); ++t) {
            const TvxTableDesc& desc = *tables[t].desc;
            const std::string name = tableName(desc);
            SCOPED_TRACE(name);
            const TvxRows expected = source.Records(desc, test::SqliteForm);
            EXPECT_EQ(result.tables[t].name, name);
            EXPECT_EQ(result.tables[t].records, expected.size());
            EXPECT_EQ(result.tables[t].rejected, 0u);
            EXPECT_EQ(sorted(db.Rows("SELECT * FROM " + quoted(name))), sorted(expected));

            std::string key;
            std::size_t secondary = 0;
            for (const auto& x : desc.Indexes()) {
                if (!x.primary()) {
                    ++secondary;
                    continue;
                }
                for (int i = 0; i < x.keyFieldCount(); ++i) {
                    if (i)
                        key += ',';
                    key += CodePageToUtf8(desc.GetField(x.keyField(i) - 1)->name(), desc.CodePage());
                }
            }
            EXPECT_EQ(db.Value("SELECT coalesce(group_concat(name), '') FROM (SELECT name FROM pragma_table_info('" +
                               name + "') WHERE pk > 0 ORDER BY pk)"),
                      key);
            EXPECT_EQ(db.Value("SELECT count(*) FROM pragma_index_list('" + name + "') WHERE origin = 'c'"),
                      std::to_string(secondary));
            const auto dependent = std::count_if(desc.RefInts().begin(), desc.RefInts().end(),
                                                 [](const auto& r) { return r.kind() == TvxRefIntDesc::Dependent; });
            EXPECT_EQ(db.Value("SELECT count(DISTINCT id) FROM pragma_foreign_key_list('" + name + "')"),
                      std::to_string(dependent));
        }
        EXPECT_EQ(db.Rows("PRAGMA foreign_key_check"), TvxRows());
        EXPECT_EQ(db.Value("PRAGMA integrity_check"), "ok");
    }
}

TEST(ExportSamples, CsvHoldsEveryRecordInOrder)
{
    for (const auto& set : sampleSets) {
        SCOPED_TRACE(set.name);
        TempDir out;
        ExportSource source(test::SamplePath(set.name), set.passwords);
        source.Export(TvxExportFormat::Csv, out.file("csv"));
        const TvxTableItems tables = source.db().ReadTables();
        EXPECT_EQ(
            static_cast<std::size_t>(std::distance(fs::directory_iterator(out.file("csv")), fs::directory_iterator())),
            tables.size());
        for (const auto& item : tables) {
            const TvxTableDesc& desc = *item.desc;
            SCOPED_TRACE(tableName(desc));
            TvxRows expected = source.Records(desc, test::CsvForm);
            std::vector<std::string> header;
            for (const auto& f : desc.Fields())
                header.push_back(CodePageToUtf8(f.name(), desc.CodePage()));
            expected.insert(expected.begin(), header);
            EXPECT_EQ(test::ReadCsv(out.read("csv/" + tableName(desc) + ".csv")), expected);
        }
    }
}

TEST(ExportSamples, ProtectedTableNeedsItsPassword)
{
    const struct
    {
        std::vector<std::string> passwords;
        std::vector<std::string> tables;
    } cases[] = {{{}, {}}, {{}, {"encrypted35"}}, {{"wrong"}, {"ENCRYPTEDMEMO.DB"}}};
    for (const auto format : {TvxExportFormat::Sqlite, TvxExportFormat::Csv}) {
        for (const auto& c : cases) {
            TempDir out;
            ExportSource source(test::SamplePath("pd-encrypt"), c.passwords);
            try {
                source.Export(format, out.file("out"), c.tables);
                ADD_FAILURE() << "a protected table was exported without its password";
            } catch (const EvxEngineError& e) {
                EXPECT_EQ(e.Code(), vxErrPasswordRequired);
                EXPECT_NE(std::string(e.what()).find("password"), std::string::npos) << e.what();
            }
            EXPECT_TRUE(fs::is_empty(out.path())); // no output, no temporary file
        }
    }
}

} // namespace
} // namespace morvane
