// The PostgreSQL export against a real server: every sample set exported and read back through
// libpq; keys, indexes, checks and rules as the server reports and enforces them; refused
// records kept with their reasons; a failure in the middle leaving the schema as it was; an
// existing table refused, and replaced with force.

#include "db/paradox/ParadoxWriter.h"

#include <bit>
#include <cstring>
#include <random>
#include <set>

#include "export/EvxExportError.h"
#include "export/TvxPostgresTarget.h"
#include "PostgresTestSchema.h"
#include "support/SamplePath.h"
#include "support/TestFields.h"

namespace morvane {
namespace {

using test::ExportSource;
using test::PostgresTestSchema;
using test::TvxRows;

std::string quoted(const std::string& name)
{
    return "\"" + name + "\"";
}

// A column in the forms of PgForm.
std::string column(const std::string& name, int type)
{
    const std::string c = quoted(name);
    // Years as the dump counts them: 0 is 1 BC, -1 is 2 BC.
    const std::string year = "CASE WHEN extract(year FROM " + c + ") > 0 THEN to_char(" + c +
                             ", 'YYYY') WHEN extract(year FROM " + c +
                             ") = -1 THEN '0000' ELSE '-' || lpad((-1 -"
                             " extract(year FROM " +
                             c + "))::int::text, 4, '0') END";
    switch (type) {
    case fldLogical:
        return "CASE WHEN " + c + " THEN 'True' WHEN NOT " + c + " THEN 'False' END";
    case fldDate:
        return year + " || to_char(" + c + ", '-MM-DD')";
    case fldTime:
        return "to_char(" + c + ", 'HH24:MI:SS.MS')";
    case fldTimestamp:
        return year + " || to_char(" + c + ", '-MM-DD\"T\"HH24:MI:SS.MS')";
    case fldNumber:
    case fldMoney: // the double's bits
        return "encode(float8send(" + c + "), 'hex')";
    default:
        return test::IsBinaryField(type) ? "encode(" + c + ", 'hex')" : c + "::text";
    }
}

std::string PgForm(const TvxFieldValue& v, int type, int codePage)
{
    if (v.isBlank())
        return "<null>";
    std::string hex;
    const auto addHex = [&](unsigned b) { hex += "0123456789abcdef"[b >> 4], hex += "0123456789abcdef"[b & 15]; };
    if (test::IsBinaryField(type)) {
        for (const unsigned char b : v.text())
            addHex(b);
        return hex;
    }
    if (type == fldNumber || type == fldMoney) {
        const auto bits = std::bit_cast<std::uint64_t>(v.real());
        for (int i = 56; i >= 0; i -= 8)
            addHex(static_cast<unsigned>(bits >> i) & 0xFF);
        return hex;
    }
    return IsTextFieldType(type) ? test::ExportedText(v, codePage) : ValueDisplayText(v, type, codePage);
}

TEST(PostgresExport, SamplesReadBackWithKeysIndexesAndRules)
{
    MORVANE_NEED_POSTGRES();
    for (const auto& set : test::sampleSets) {
        SCOPED_TRACE(set.name);
        PostgresTestSchema pg;
        ExportSource source(test::SamplePath(set.name), set.passwords);
        const TvxExportResult result = ExportDatabase(source.db(), pg.Options());
        const TvxTableItems tables = source.db().ReadTables();
        ASSERT_EQ(result.tables.size(), tables.size());
        for (std::size_t t = 0; t < tables.size(); ++t) {
            const TvxTableDesc& desc = *tables[t].desc;
            const std::string name = test::tableName(desc);
            SCOPED_TRACE(name);
            const TvxRows expected = source.Records(desc, PgForm);
            std::string columns;
            for (const auto& f : desc.Fields())
                columns += (columns.empty() ? "" : ", ") + column(CodePageToUtf8(f.name(), desc.CodePage()), f.type());
            EXPECT_EQ(result.tables[t].records, expected.size());
            EXPECT_EQ(result.tables[t].rejected, 0u);
            EXPECT_EQ(test::sorted(pg.Rows("SELECT " + columns + " FROM " + quoted(name))), test::sorted(expected));

            std::string key;
            std::size_t secondary = 0;
            for (const auto& x : desc.Indexes()) {
                secondary += x.primary() ? 0 : 1;
                for (int i = 0; x.primary() && i < x.keyFieldCount(); ++i) {
                    key += i ? "," : "";
                    key += CodePageToUtf8(desc.GetField(x.keyField(i) - 1)->name(), desc.CodePage());
                }
            }
            const std::string rel = "'\"" + pg.Name() + "\".\"" + name + "\"'::regclass";
            EXPECT_EQ(pg.Value("SELECT coalesce(string_agg(a.attname, ',' ORDER BY array_position(i.indkey, a.attnum)),"
                               " '') FROM pg_index i JOIN pg_attribute a ON a.attrelid = i.indrelid AND a.attnum ="
                               " ANY(i.indkey) WHERE i.indisprimary AND i.indrelid = " +
                               rel),
                      key);
            EXPECT_EQ(pg.Value("SELECT count(*) FROM pg_index WHERE NOT indisprimary AND indrelid = " + rel),
                      std::to_string(secondary));
            const auto dependent = std::count_if(desc.RefInts().begin(), desc.RefInts().end(),
                                                 [](const auto& r) { return r.kind() == TvxRefIntDesc::Dependent; });
            EXPECT_EQ(
                pg.Value("SELECT count(*) FROM pg_constraint WHERE contype = 'f' AND convalidated AND conrelid = " +
                         rel),
                std::to_string(dependent));
        }
    }
}

TEST(PostgresExport, JoinsStructureAndRulesEnforced)
{
    MORVANE_NEED_POSTGRES();
    PostgresTestSchema pg;
    ExportSource source(test::SamplePath("pd-joins"));
    EXPECT_EQ(ExportDatabase(source.db(), pg.Options()).warnings, std::vector<std::string>());
    const struct
    {
        const char* sql;
        const char* expected;
    } structure[] = {
        {"SELECT string_agg(column_name || ':' || data_type, ',' ORDER BY ordinal_position) FROM"
         " information_schema.columns WHERE table_schema = current_schema AND table_name = 'C' AND is_nullable = 'NO'",
         "C:integer,A:integer"},
        {"SELECT string_agg(indexname, ',' ORDER BY indexname) FROM pg_indexes WHERE schemaname = current_schema"
         " AND tablename = 'C'",
         "C_A,C_B,C_pkey"},
        {"SELECT indexdef LIKE '%(\"Indexed\" DESC)' FROM pg_indexes WHERE indexname = 'indexed_Descending'"
         " AND schemaname = current_schema",
         "t"},
        {"SELECT string_agg(conname || ':' || confupdtype::text || confdeltype::text, ',') FROM pg_constraint WHERE "
         "conrelid ="
         " '\"fk4\"'::regclass AND contype = 'f'",
         "reference:cr"},
        {"SELECT col_description('\"origin\"'::regclass, 2)", "values from table destination.db"},
        {"SELECT col_description('\"multiple\"'::regclass, 3)", "picture [(*3{#}) ]*3{#}-*4{#}"},
        {"SELECT is_identity FROM information_schema.columns WHERE table_schema = current_schema AND table_name ="
         " 'multiple' AND column_name = 'ID'",
         "YES"},
        // The numbering goes on past the highest Autoincrement value.
        {"INSERT INTO origin (\"FK\") VALUES (NULL) RETURNING \"ID\" > (SELECT max(\"ID\") FROM origin)", "t"},
    };
    for (const auto& c : structure)
        EXPECT_EQ(pg.Value(c.sql), c.expected) << c.sql;
    const struct
    {
        const char* sql;
        const char* state; // SQLSTATE; "" when it runs
    } changes[] = {
        {"INSERT INTO \"C\" VALUES (10, 99, 4)", "23503"},   // no master record A 99
        {"INSERT INTO \"C\" VALUES (10, 1, 99)", "23503"},   // no master record B 99
        {"INSERT INTO \"C\" VALUES (10, NULL, 4)", "23502"}, // A is required
        {"INSERT INTO \"C\" VALUES (1, 1, 4)", "23505"},     // key 1 is there
        {"DELETE FROM \"A\" WHERE \"A\" = 1", "23503"},      // C refers to it
        {"INSERT INTO \"C\" VALUES (10, 1, NULL)", ""},
        {"UPDATE \"A\" SET \"A\" = 100 WHERE \"A\" = 1", ""}, // cascades to C
    };
    for (const auto& c : changes)
        EXPECT_EQ(pg.Run(c.sql), c.state) << c.sql;
    EXPECT_EQ(pg.Value("SELECT string_agg(\"C\"::text, ',' ORDER BY \"C\") FROM \"C\" WHERE \"A\" = 100"), "1,10");
}

// A keyed table whose checks give Qty (required) and Code bounds, Paid a default.
TvxTableDesc rangesTable()
{
    TvxTableDesc desc;
    desc.SetFields({test::MakeField("Id", 1, fldLong), test::MakeField("Qty", 2, fldShort),
                    test::MakeField("Code", 3, fldAlpha, 5), test::MakeField("Note", 4, fldMemo, 10),
                    test::MakeField("Paid", 5, fldLogical)});
    TvxIndexDesc key;
    key.setPrimary(true);
    key.setKeyFieldCount(1);
    key.setKeyField(0, 1);
    desc.SetIndexes({key});
    desc.CursorProps().setTableLevel(7);
    desc.CursorProps().setLanguageDriver("ANSIINTL");
    desc.CursorProps().setCodePage(1252);
    std::vector<TvxValCheckDesc> checks(3);
    for (auto& c : checks) {
        c.setHasMinimum(true);
        c.setHasMaximum(true);
    }
    checks[0].setFieldNumber(2);
    checks[0].setRequired(true);
    checks[0].minimum()[0] = 1;
    checks[0].maximum()[0] = 100;
    checks[1].setFieldNumber(3);
    checks[1].minimum()[0] = 'B';
    checks[1].maximum()[0] = 'M';
    checks[2] = TvxValCheckDesc();
    checks[2].setFieldNumber(5);
    checks[2].setHasDefault(true);
    checks[2].defaultValue()[0] = 1;
    desc.SetValChecks(checks);
    return desc;
}

// Random records break the checks, repeat a key or leave it blank, across many batches; the
// table keeps the others, _morvane_rejected those with their numbers and reasons; the server
// enforces the checks.
TEST(PostgresExport, RefusedRecordsAndChecks)
{
    MORVANE_NEED_POSTGRES();
    std::mt19937 rng(24);
    std::vector<TvxRecord> records;
    TvxRows refused; // record, a part of the reason
    std::uint64_t kept = 0;
    std::set<std::int64_t> seen; // a key is held by the first record with it, even one refused
    for (int r = 1; r <= 5000; ++r) {
        std::string code(1, 'c');
        code += std::to_string(r);
        TvxRecord rec{TvxFieldValue::Integer(r), TvxFieldValue::Integer(r % 100 + 1), TvxFieldValue::Bytes(code),
                      TvxFieldValue::Bytes("note"), TvxFieldValue::Logical(true)};
        const char* const reasons[] = {"Qty minimum",  "Qty maximum",        "\"Qty\"",
                                       "Code maximum", "key field is blank", "key is that of a record before"};
        const std::size_t bad = rng() % 50 == 0 ? rng() % 6 : 6;
        const TvxFieldValue changed[] = {TvxFieldValue::Integer(0),
                                         TvxFieldValue::Integer(101),
                                         {},
                                         TvxFieldValue::Bytes("z"),
                                         {},
                                         TvxFieldValue::Integer(r - 1 - static_cast<int>(rng() % 5))};
        if (bad < 6)
            rec[bad == 3 ? 2 : bad == 4 || bad == 5 ? 0 : 1] = changed[bad];
        if (bad < 5 || (bad == 5 && seen.count(rec[0].integer())))
            refused.push_back({std::to_string(r), reasons[bad]});
        else
            ++kept;
        if (!rec[0].isBlank())
            seen.insert(rec[0].integer());
        records.push_back(std::move(rec));
    }
    PostgresTestSchema pg;
    // Secondary indexes: Code unique, case-insensitive, descending (the records keep it);
    // Qty unique (the records break it: made without UNIQUE).
    TvxTableDesc desc = rangesTable();
    std::vector<TvxIndexDesc> indexes = desc.Indexes();
    for (const int field : {3, 2}) {
        TvxIndexDesc& x = indexes.emplace_back();
        x.setName(field == 3 ? "ByCode" : "ByQty");
        x.setUnique(true);
        x.setCaseInsensitive(field == 3);
        x.setDescending(field == 3);
        x.setKeyFieldCount(1);
        x.setKeyField(0, field);
    }
    desc.SetIndexes(indexes);
    const std::vector<TvxExportTable> tables = {{"RANGES", "RANGES.DB", desc}};
    TvxExportResult result;
    result.tables = {{"RANGES", 0, 0, 0, 0}};
    {
        TvxPostgresTarget target(pg.Dsn(), pg.Name(), false);
        target.Begin(tables, result);
        test::RecordList source(records);
        target.WriteTable(0, source, result);
        target.Finish(result);
    }
    EXPECT_EQ(result.warnings.at(1),
              "index \"ByQty\" of RANGES: the records break its uniqueness; created as not unique");
    EXPECT_EQ(
        pg.Rows("SELECT indexdef FROM pg_indexes WHERE tablename = 'RANGES' AND schemaname = current_schema"
                " ORDER BY indexname"),
        (TvxRows{{"CREATE UNIQUE INDEX \"RANGES_ByCode\" ON \"" + pg.Name() +
                  "\".\"RANGES\" USING btree (lower((\"Code\")::text) DESC)"},
                 {"CREATE INDEX \"RANGES_ByQty\" ON \"" + pg.Name() + "\".\"RANGES\" USING btree (\"Qty\")"},
                 {"CREATE UNIQUE INDEX \"RANGES_pkey\" ON \"" + pg.Name() + "\".\"RANGES\" USING btree (\"Id\")"}}));
    EXPECT_EQ(result.tables[0].rejected, refused.size());
    EXPECT_EQ(result.tables[0].records, kept);
    EXPECT_EQ(pg.Value("SELECT count(*) FROM \"RANGES\""), std::to_string(kept));
    const TvxRows rejected = pg.Rows("SELECT record, reason FROM _morvane_rejected ORDER BY record");
    ASSERT_EQ(rejected.size(), refused.size());
    for (std::size_t i = 0; i < rejected.size(); ++i) {
        EXPECT_EQ(rejected[i][0], refused[i][0]);
        EXPECT_NE(rejected[i][1].find(refused[i][1]), std::string::npos) << rejected[i][1] << " / " << refused[i][1];
    }

    const struct
    {
        const char* sql;
        const char* state;
    } changes[] = {
        {"INSERT INTO \"RANGES\" (\"Id\", \"Qty\") VALUES (-1, 0)", "23514"},
        {"INSERT INTO \"RANGES\" (\"Id\") VALUES (-1)", "23502"},
        {"INSERT INTO \"RANGES\" (\"Id\", \"Qty\", \"Code\") VALUES (-1, 5, 'a')", "23514"}, // letter case aside
        {"INSERT INTO \"RANGES\" (\"Id\", \"Qty\", \"Code\") VALUES (-1, 5, 'm')", ""},
        {"INSERT INTO \"RANGES\" (\"Id\", \"Qty\") VALUES (-1, 5)", "23505"},
        {"INSERT INTO \"RANGES\" (\"Id\", \"Qty\", \"Code\") VALUES (-2, 5, 'M')", "23505"}, // 'm' is there
    };
    for (const auto& c : changes)
        EXPECT_EQ(pg.Run(c.sql), c.state) << c.sql;
    EXPECT_EQ(pg.Value("SELECT \"Paid\" FROM \"RANGES\" WHERE \"Id\" = -1"), "t");
}

// A memo's NUL bytes become the same in every export, each value changed named.
TEST(PostgresExport, NulBytesOfTextsAlikeInEveryExport)
{
    MORVANE_NEED_POSTGRES();
    test::TempDir dir;
    test::RecordList list(
        {{TvxFieldValue::Integer(1), TvxFieldValue::Integer(5), {}, TvxFieldValue::Bytes("plain"), {}},
         {TvxFieldValue::Integer(2),
          TvxFieldValue::Integer(5),
          {},
          TvxFieldValue::Bytes(std::string("a\0b\0\0", 5)),
          {}},
         {TvxFieldValue::Integer(3), TvxFieldValue::Integer(5), {}, TvxFieldValue::Bytes(std::string(3, '\0')), {}}});
    ParadoxWriteTable(rangesTable(), list, dir.str(), "RANGES");
    ExportSource source(dir.str());
    PostgresTestSchema pg;
    test::TempDir out;
    const TvxExportResult results[] = {ExportDatabase(source.db(), pg.Options()),
                                       source.Export(TvxExportFormat::Sqlite, out.file("t.sqlite")),
                                       source.Export(TvxExportFormat::Csv, out.file("csv"))};
    for (const auto& result : results) {
        EXPECT_EQ(result.tables.at(0).altered, 2u);
        EXPECT_EQ(result.warnings,
                  (std::vector<std::string>{"RANGES: record 2, field Note: 2 NUL bytes at its end dropped, 1 NUL bytes"
                                            " written as U+001A",
                                            "RANGES: record 3, field Note: 3 NUL bytes at its end dropped"}));
    }
    const TvxRows notes = {{"plain"},
                           {"a\x1A"
                            "b"},
                           {"<null>"}};
    EXPECT_EQ(pg.Rows("SELECT \"Note\" FROM \"RANGES\" ORDER BY \"Id\""), notes);
    EXPECT_EQ(test::SqliteFile(out.file("t.sqlite")).Rows("SELECT Note FROM RANGES ORDER BY Id"), notes);
    const TvxRows csv = test::ReadCsv(out.read("csv/RANGES.csv"));
    EXPECT_EQ((TvxRows{{csv.at(1).at(3)}, {csv.at(2).at(3)}, {csv.at(3).at(3)}}), (TvxRows{{"plain"},
                                                                                           {"a\x1A"
                                                                                            "b"},
                                                                                           {""}}));
}

// Records 1, 2, ..., count; then the end, or a failure.
class CountedRecords : public IvxRecordSource
{
public:
    CountedRecords(int count, bool fail) : count_(count), fail_(fail) {}
    bool Next(TvxRecord& record) override
    {
        if (n_ == count_ && fail_)
            throw EvxExportError("the source broke");
        record = {TvxFieldValue::Integer(++n_)};
        return n_ <= count_;
    }

private:
    int count_;
    bool fail_;
    int n_ = 0;
};

TEST(PostgresExport, FailureLeavesTheSchemaAsItWasAndForceReplaces)
{
    MORVANE_NEED_POSTGRES();
    PostgresTestSchema pg;
    TvxTableDesc desc;
    desc.SetFields({test::MakeField("N", 1, fldLong)});
    const std::vector<TvxExportTable> tables = {{"T1", "T1.DB", desc}, {"T2", "T2.DB", desc}};
    const struct
    {
        bool force;
        int count; // records of T2
        bool fail; // after them
        const char* error;
        const char* counts; // T1, T2 after it
    } runs[] = {
        {false, 3000, true, "the source broke", ""}, // the schema is not even made
        {false, 5000, false, "", "2,5000"},
        {false, 10, false, "holds T1, T2 already (--force replaces them)", "2,5000"},
        {true, 3000, true, "the source broke", "2,5000"},
        {true, 10, false, "", "2,10"},
    };
    for (const auto& r : runs) {
        SCOPED_TRACE(std::to_string(r.count) + (r.force ? " forced" : ""));
        TvxExportResult result;
        result.tables = {{"T1", 0, 0, 0, 0}, {"T2", 0, 0, 0, 0}};
        try {
            TvxPostgresTarget target(pg.Dsn(), pg.Name(), r.force);
            target.Begin(tables, result);
            test::RecordList two({{TvxFieldValue::Integer(1)}, {TvxFieldValue::Integer(2)}});
            target.WriteTable(0, two, result);
            CountedRecords counted(r.count, r.fail);
            target.WriteTable(1, counted, result);
            target.Finish(result);
            EXPECT_STREQ(r.error, "");
        } catch (const EvxExportError& e) {
            EXPECT_NE(std::string(e.what()).find(r.error), std::string::npos) << e.what();
            EXPECT_NE(std::string(r.error), "");
        }
        EXPECT_EQ(
            pg.Value("SELECT coalesce(string_agg((xpath('/row/n/text()', query_to_xml('SELECT count(*) AS n FROM ' ||"
                     " oid::regclass, false, true, '')))[1]::text, ',' ORDER BY relname), '') FROM pg_class"
                     " WHERE relkind = 'r' AND relnamespace = (SELECT oid FROM pg_namespace WHERE nspname = '" +
                     pg.Name() + "')"),
            r.counts);
    }
}

} // namespace
} // namespace morvane
