// The structure a SQLite export carries, read back through SQLite: keys, indexes, rules and
// checks as SQLite reports them, and records that break them refused with foreign keys on.

#include "db/paradox/ParadoxWriter.h"
#include "model/vxEngineValues.h"

#include <array>
#include <cstring>
#include <gtest/gtest.h>

#include "export/EvxExportError.h"
#include "export/vxSqliteSchema.h"
#include "ExportTestSupport.h"
#include "support/SamplePath.h"
#include "support/TestFields.h"

namespace morvane {
namespace {

using test::ExportSource;
using test::SqliteFile;
using test::TempDir;
using test::TvxRows;

struct SqlCase
{
    const char* sql;
    const char* expected;
};

TEST(ExportStructure, JoinsKeysIndexesAndRules)
{
    TempDir out;
    ExportSource source(test::SamplePath("pd-joins"));
    const TvxExportResult result = source.Export(TvxExportFormat::Sqlite, out.file("joins.sqlite"));
    EXPECT_EQ(result.warnings, std::vector<std::string>());
    SqliteFile db(out.file("joins.sqlite"));
    const SqlCase cases[] = {
        {"SELECT group_concat(name) FROM (SELECT name FROM pragma_table_info('two') WHERE pk > 0 ORDER BY pk)",
         "ID1,ID2"},
        {"SELECT group_concat(name || ':' || type) FROM pragma_table_info('C') WHERE \"notnull\"",
         "C:INTEGER,A:INTEGER"},
        {"SELECT group_concat(name || ':' || \"unique\" || origin) FROM pragma_index_list('C') WHERE origin = 'c'",
         "C_B:0c,C_A:0c"},
        {"SELECT group_concat(name) FROM pragma_index_info('fk4_reference')", "FK1,FK"},
        {"SELECT \"desc\" FROM pragma_index_xinfo('indexed_Descending') WHERE cid >= 0", "1"},
        {"SELECT group_concat(\"table\" || ':' || \"from\" || '->' || \"to\" || ':' || on_update || ':' || on_delete)"
         " FROM pragma_foreign_key_list('fk4')",
         "two:FK1->ID1:CASCADE:RESTRICT,two:FK->ID2:CASCADE:RESTRICT"},
        {"SELECT on_update FROM pragma_foreign_key_list('fk2')", "RESTRICT"},
        {"SELECT count(*) FROM pragma_foreign_key_list('multiple')", "2"},
        {"SELECT picture FROM _morvane_checks WHERE \"table\" = 'multiple' AND field = 'A'", "[(*3{#}) ]*3{#}-*4{#}"},
        {"SELECT group_concat(field) FROM _morvane_checks WHERE \"table\" = 'C' AND required", "C,A"},
        {"SELECT lookup FROM _morvane_checks WHERE \"table\" = 'origin' AND field = 'FK'", "destination.db"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(db.Value(c.sql), c.expected) << c.sql;
}

TEST(ExportStructure, RecordsBreakingRulesAreRefusedWithForeignKeysOn)
{
    TempDir out;
    ExportSource source(test::SamplePath("pd-joins"));
    source.Export(TvxExportFormat::Sqlite, out.file("joins.sqlite"));
    SqliteFile db(out.file("joins.sqlite"));
    ASSERT_EQ(db.Run("PRAGMA foreign_keys = ON"), SQLITE_OK);
    const struct
    {
        const char* sql;
        int result;
    } cases[] = {
        {"INSERT INTO C VALUES (10, 99, 4)", SQLITE_CONSTRAINT},   // no master record A 99
        {"INSERT INTO C VALUES (10, 1, 99)", SQLITE_CONSTRAINT},   // no master record B 99
        {"INSERT INTO C VALUES (10, NULL, 4)", SQLITE_CONSTRAINT}, // A is required
        {"INSERT INTO C VALUES (1, 1, 4)", SQLITE_CONSTRAINT},     // key 1 is there
        {"DELETE FROM A WHERE A = 1", SQLITE_CONSTRAINT},          // C refers to it
        {"INSERT INTO C VALUES (10, 1, NULL)", SQLITE_OK},
        {"UPDATE A SET A = 100 WHERE A = 1", SQLITE_OK}, // cascades to C
    };
    for (const auto& c : cases)
        EXPECT_EQ(db.Run(c.sql), c.result) << c.sql << ": " << db.Error();
    EXPECT_EQ(db.Value("SELECT group_concat(C) FROM C WHERE A = 100"), "1,10");
    EXPECT_EQ(db.Rows("PRAGMA foreign_key_check"), TvxRows());
}

// A table written with our writer whose checks give a minimum and a maximum to each type that
// has them, defaults (true, TODAY), a picture; records 3, 4 and 70 of 100 break a check.
class ExportChecks : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const struct
        {
            const char* name;
            int type;
            int size;
        } fields[] = {{"Qty", fldShort, 0},       {"Count", fldLong, 0},  {"Price", fldNumber, 0},
                      {"Amount", fldMoney, 0},    {"Day", fldDate, 0},    {"At", fldTime, 0},
                      {"Stamp", fldTimestamp, 0}, {"Code", fldAlpha, 10}, {"Exact", fldBcd, 2},
                      {"Paid", fldLogical, 0},    {"Made", fldDate, 0}};
        std::vector<TvxFieldDesc> list;
        for (const auto& f : fields)
            list.push_back(test::MakeField(f.name, static_cast<int>(list.size()) + 1, f.type, f.size));
        desc.SetFields(list);
        desc.CursorProps().setTableLevel(7);
        desc.CursorProps().setLanguageDriver("ANSIINTL");
        desc.CursorProps().setCodePage(1252);

        std::int32_t y2000 = 0, y2030 = 0;
        EncodeDate(2000, 1, 1, y2000);
        EncodeDate(2030, 12, 31, y2030);
        std::vector<TvxValCheckDesc> checks;
        const auto check = [&](int field, auto minimum, auto maximum) {
            TvxValCheckDesc c;
            c.setFieldNumber(field);
            c.setHasMinimum(true);
            c.setHasMaximum(true);
            std::memcpy(c.minimum(), &minimum, sizeof minimum);
            std::memcpy(c.maximum(), &maximum, sizeof maximum);
            checks.push_back(c);
            return &checks.back();
        };
        check(1, std::int16_t{1}, std::int16_t{100})->setRequired(true);
        check(2, std::int32_t{-5}, std::int32_t{5});
        check(3, 0.5, 99.5);
        check(4, -10.0, 1000.0);
        check(5, y2000, y2030);
        check(6, std::int32_t{8 * 3600000}, std::int32_t{18 * 3600000});
        check(7, EncodeTimeStamp(y2000, 0), EncodeTimeStamp(y2030, 0));
        TvxValCheckDesc* code = check(8, std::array<char, 2>{'B', 0}, std::array<char, 2>{'M', 0});
        code->setPicture("&*?");
        TvxValCheckDesc* exact = check(9, char{0}, char{0});
        DoubleToBcd(1.5, 32, 2, exact->minimum());
        DoubleToBcd(20, 32, 2, exact->maximum());
        TvxValCheckDesc paid;
        paid.setFieldNumber(10);
        paid.setHasDefault(true);
        paid.defaultValue()[0] = 1;
        checks.push_back(paid);
        TvxValCheckDesc made;
        made.setFieldNumber(11);
        made.setHasDefault(true);
        const std::int32_t today = -1;
        std::memcpy(made.defaultValue(), &today, sizeof today);
        checks.push_back(made);
        desc.SetValChecks(checks);

        const auto record = [&](int qty, const char* code) {
            return TvxRecord{TvxFieldValue::Integer(qty),
                             TvxFieldValue::Integer(0),
                             TvxFieldValue::Float(1),
                             TvxFieldValue::Float(5),
                             TvxFieldValue::Date(y2000 + 10),
                             TvxFieldValue::Time(12 * 3600000),
                             TvxFieldValue::Timestamp(EncodeTimeStamp(y2000 + 1, 0)),
                             TvxFieldValue::Bytes(code),
                             TvxFieldValue::Bcd("2.00"),
                             TvxFieldValue::Logical(true),
                             {}};
        };
        std::vector<TvxRecord> rows;
        for (int qty = 1; qty <= 100; ++qty)
            rows.push_back(record(qty, qty % 2 ? "c" : "Kz"));
        rows[2][0] = TvxFieldValue::Integer(0);    // below the minimum
        rows[3][0] = {};                           // required
        rows[69][0] = TvxFieldValue::Integer(101); // above the maximum
        test::RecordList records(rows);
        ParadoxWriteTable(desc, records, tables.str(), "RANGES");
        source = std::make_unique<ExportSource>(tables.str());
        result = source->Export(TvxExportFormat::Sqlite, out.file("ranges.sqlite"));
        db = std::make_unique<SqliteFile>(out.file("ranges.sqlite"));
    }

    TvxTableDesc desc;
    TempDir tables;
    TempDir out;
    std::unique_ptr<ExportSource> source;
    TvxExportResult result;
    std::unique_ptr<SqliteFile> db;
};

TEST_F(ExportChecks, BoundsAreChecksOfTheColumn)
{
    ASSERT_EQ(db->Run("PRAGMA foreign_keys = ON"), SQLITE_OK);
    // Each field: a value below its minimum, one above its maximum, one inside.
    const struct
    {
        const char* field;
        const char* below;
        const char* above;
        const char* inside;
    } cases[] = {
        {"Qty", "0", "101", "100"},
        {"Count", "-6", "6", "-5"},
        {"Price", "0.25", "99.75", "0.5"},
        {"Amount", "-10.5", "1000.01", "1000"},
        {"Day", "'1999-12-31'", "'2031-01-01'", "'2030-12-31'"},
        {"At", "'07:59:59.999'", "'18:00:00.001'", "'08:00:00.000'"},
        {"Stamp", "'1999-12-31T23:59:59.999'", "'2030-12-31T00:00:00.001'", "'2000-01-01T00:00:00.000'"},
        {"Code", "'A'", "'N'", "'m'"}, // compared without regard to case (sort order ANSIINTL)
        {"Exact", "'1.49'", "'20.01'", "'1.50'"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.field);
        const std::string insert = std::string("INSERT INTO RANGES (Qty, ") + c.field + ") VALUES (50, ";
        EXPECT_EQ(
            db->Run(std::string(c.field) == "Qty" ? "INSERT INTO RANGES (Qty) VALUES (0)" : insert + c.below + ")"),
            SQLITE_CONSTRAINT);
        EXPECT_NE(db->Error().find(std::string(c.field) + " minimum"), std::string::npos) << db->Error();
        EXPECT_EQ(
            db->Run(std::string(c.field) == "Qty" ? "INSERT INTO RANGES (Qty) VALUES (101)" : insert + c.above + ")"),
            SQLITE_CONSTRAINT);
        EXPECT_NE(db->Error().find(std::string(c.field) + " maximum"), std::string::npos) << db->Error();
        EXPECT_EQ(
            db->Run(std::string(c.field) == "Qty" ? "INSERT INTO RANGES (Qty) VALUES (100)" : insert + c.inside + ")"),
            SQLITE_OK)
            << db->Error();
    }
    EXPECT_EQ(db->Run("INSERT INTO RANGES (Count) VALUES (1)"), SQLITE_CONSTRAINT); // Qty is required
}

TEST_F(ExportChecks, DefaultsPicturesAndRefusedRecords)
{
    EXPECT_EQ(db->Rows("SELECT count(*), sum(Qty), count(DISTINCT Code) FROM RANGES"),
              (TvxRows{{"97", std::to_string(5050 - 3 - 4 - 70), "2"}}));
    ASSERT_EQ(result.tables.size(), 1u);
    EXPECT_EQ(result.tables[0].records, 97u);
    EXPECT_EQ(result.tables[0].rejected, 3u);
    const TvxRows rejected = db->Rows("SELECT \"table\", record, reason, \"values\" FROM _morvane_rejected");
    ASSERT_EQ(rejected.size(), 3u);
    const struct
    {
        const char* record;
        const char* reason;
        const char* values;
    } expected[] = {
        {"3", "Qty minimum", "[0, 0, 1, "}, {"4", "NOT NULL", "[null, 0, "}, {"70", "Qty maximum", "[101, "}};
    for (std::size_t i = 0; i < rejected.size(); ++i) {
        EXPECT_EQ(rejected[i][0], "RANGES");
        EXPECT_EQ(rejected[i][1], expected[i].record);
        EXPECT_NE(rejected[i][2].find(expected[i].reason), std::string::npos) << rejected[i][2];
        EXPECT_EQ(rejected[i][3].rfind(expected[i].values, 0), 0u) << rejected[i][3];
    }

    ASSERT_EQ(db->Run("INSERT INTO RANGES (Qty) VALUES (7)"), SQLITE_OK);
    EXPECT_EQ(db->Value("SELECT Paid FROM RANGES WHERE Qty = 7"), "1");
    const TvxRows checks =
        db->Rows("SELECT field, required, minimum, maximum, \"default\", picture FROM _morvane_checks"
                 " WHERE field IN ('Qty', 'Code', 'Exact', 'Paid', 'Day')");
    EXPECT_EQ(checks, (TvxRows{{"Qty", "1", "1", "100", "<null>", "<null>"},
                               {"Day", "0", "2000-01-01", "2030-12-31", "<null>", "<null>"},
                               {"Code", "0", "B", "M", "<null>", "&*?"},
                               {"Exact", "0", "1.50", "20.00", "<null>", "<null>"},
                               {"Paid", "0", "<null>", "<null>", "1", "<null>"}}));
}

// Tables on disk hold no TODAY default (the writer leaves it out): the descriptor's own.
TEST_F(ExportChecks, TodayDefaultIsTheDateOfTheInsert)
{
    std::vector<std::string> warnings;
    const auto schemas = SqliteSchemas({TvxExportTable{"RANGES", "RANGES.DB", desc}}, warnings);
    ASSERT_EQ(schemas.size(), 1u);
    SqliteFile memory(":memory:");
    ASSERT_EQ(memory.Run(schemas[0].createTable), SQLITE_OK) << memory.Error();
    ASSERT_EQ(memory.Run("INSERT INTO RANGES (Qty) VALUES (7)"), SQLITE_OK);
    EXPECT_EQ(memory.Value("SELECT Made = date('now', 'localtime') FROM RANGES"), "1");
}

} // namespace
} // namespace morvane
