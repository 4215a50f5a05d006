// Records with a damaged value reach the SQLite file with the value blank, counted and named in
// the warnings, though the records are read on a thread of their own: bcd.db's field C is
// damaged in all three records.

#include <gtest/gtest.h>

#include "ExportTestSupport.h"
#include "support/SamplePath.h"

namespace morvane {
namespace {

TEST(SqliteDamagedValues, WrittenBlankCountedAndWarned)
{
    test::TempDir out;
    test::ExportSource source(test::SamplePath("pd-fields"));
    const TvxExportResult result = source.Export(TvxExportFormat::Sqlite, out.file("bcd.sqlite"), {"bcd"});
    ASSERT_EQ(result.tables.size(), 1u);
    EXPECT_EQ(result.tables[0].records, 3u);
    EXPECT_EQ(result.tables[0].damaged, 3u);
    std::size_t warned = 0;
    for (const auto& w : result.warnings)
        warned += w.find("written with the value blank") != std::string::npos;
    EXPECT_EQ(warned, 3u);
    test::SqliteFile db(out.file("bcd.sqlite"));
    EXPECT_EQ(db.Rows("SELECT A, B, C FROM bcd"),
              (test::TvxRows{{"1.23", "1", "<null>"}, {"-1.23", "-1", "<null>"}, {"0.00", "<null>", "<null>"}}));
}

} // namespace
} // namespace morvane
