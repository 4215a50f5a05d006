// Values the reader takes in part reach the SQLite file as read and are named once in the
// warnings, though the records are read on a thread of their own: bcd.db's field C holds nibbles
// over 9 past the engine's precision in all three records.

#include <gtest/gtest.h>

#include "ExportTestSupport.h"
#include "support/SamplePath.h"

namespace morvane {
namespace {

TEST(SqliteDamagedValues, ImpreciseBcdValuesCarriedAndNotedOnce)
{
    test::TempDir out;
    test::ExportSource source(test::SamplePath("pd-fields"));
    const TvxExportResult result = source.Export(TvxExportFormat::Sqlite, out.file("bcd.sqlite"), {"bcd"});
    ASSERT_EQ(result.tables.size(), 1u);
    EXPECT_EQ(result.tables[0].records, 3u);
    EXPECT_EQ(result.tables[0].damaged, 0u);
    ASSERT_EQ(result.warnings.size(), 1u);
    EXPECT_NE(result.warnings[0].find("field 3 (C): imprecise BCD values"), std::string::npos) << result.warnings[0];
    test::SqliteFile db(out.file("bcd.sqlite"));
    EXPECT_EQ(db.Rows("SELECT A, B, C FROM bcd"), (test::TvxRows{{"1.23", "1", "0.12299999999999999800000000000000"},
                                                                {"-1.23", "-1", "-0.12299999999999999800000000000000"},
                                                                {"0.00", "<null>", "0.99990000000000001180000000000000"}}));
}

} // namespace
} // namespace morvane
