// Whole runs of maintenance scripts: tables brought to the structure the script describes
// (records converted, new checks and rules applied to them), tables it does not describe left
// alone, and an update script followed by the maintenance script of the same document.

#include <gtest/gtest.h>

#include "ServerRunFixture.h"
#include "db/paradox/ParadoxWriter.h"
#include "script/vxUpdateServerCodes.h"
#include "server/vxRecordSources.h"

namespace morvane {
namespace {

namespace fs = std::filesystem;
using test::MakeField;

class MaintenanceRunTest : public test::ServerRunTest
{
protected:
    void SetUp() override { fs::create_directories(src); }

    std::string SaveMaintenance(const TvxScriptTableList& list)
    {
        const std::string file = tmp.file("m.vxmsp");
        SaveMaintenanceScript(file, "Morvane", list);
        return file;
    }
};

// A new keyed table of these fields written into dir with our writer.
void WriteTable(const fs::path& dir, const std::string& name, std::vector<TvxFieldDesc> fields, int keyFields,
                const std::vector<TvxRecord>& records)
{
    TvxTableDesc d;
    d.SetAllNames(name);
    d.SetExtension("DB");
    d.SetTableType("PARADOX");
    d.CursorProps().setTableLevel(5);
    d.CursorProps().setCodePage(1252);
    d.CursorProps().setLanguageDriver("ANSIINTL");
    d.CursorProps().setBlockSizeKb(2);
    int offset = 0;
    for (TvxFieldDesc& f : fields) {
        f.setOffset(offset);
        offset += f.length();
    }
    d.SetFields(std::move(fields));
    TvxIndexDesc key;
    key.setPrimary(true);
    key.setUnique(true);
    key.setMaintained(true);
    key.setKeyFieldCount(keyFields);
    for (int i = 0; i < keyFields; ++i)
        key.setKeyField(i, i + 1);
    d.SetIndexes({key});
    TvxListSource source(records);
    ParadoxWriteTable(d, source, dir.string(), name);
}

TEST_F(MaintenanceRunTest, NewRequiredCheckKeepsTheBlankRecordsAside)
{
    CopySamples(dst, {"pd-fields/long.db", "pd-fields/long.px", "pd-fields/date5.db"});
    const auto untouched = tmp.read("target/date5.db");
    TvxScriptTableList list;
    TvxTableDesc table = test::Structure(dst, "long");
    ASSERT_TRUE(table.AddValCheck("", "", *table.GetField(1), true, "", ""));
    list.AddTable("long", std::make_unique<TvxTableDesc>(table));

    ASSERT_EQ(Run(SaveMaintenance(list)), vxRunProblems) << report.message;
    EXPECT_EQ(report.scriptKind, "maintenance");
    const TvxTableUpdateReport* t = TableReport("long.DB");
    ASSERT_TRUE(t);
    EXPECT_EQ(t->action, "restructure");
    ASSERT_EQ(t->checkBreaks.size(), 1u);
    EXPECT_EQ(t->checkBreaks[0].field, "LONG");
    EXPECT_EQ(t->checkBreaks[0].check, "required");
    EXPECT_EQ(t->checkBreaks[0].records, 1);

    const auto kept = test::ReadAll(dst, "long");
    ASSERT_EQ(kept.size(), 2u);
    EXPECT_EQ(kept[1][1], TvxFieldValue::Integer(2));
    const auto problems = test::ReadAll(dst, "PROBLEM_long");
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_EQ(problems[0][0], TvxFieldValue::Integer(3));
    EXPECT_TRUE(problems[0][1].isBlank());
    const TvxTableDesc now = test::Structure(dst, "long");
    ASSERT_TRUE(now.FindValCheck(2));
    EXPECT_TRUE(now.FindValCheck(2)->required());
    EXPECT_EQ(tmp.read("target/date5.db"), untouched) << "a table the script does not describe stays";
}

TEST_F(MaintenanceRunTest, TwoFieldRuleKeepsRecordsWithoutAMasterAside)
{
    fs::create_directories(dst);
    WriteTable(dst, "MASTER", {MakeField("K1", 1, fldLong), MakeField("K2", 2, fldAlpha, 5)}, 2,
               {{TvxFieldValue::Integer(1), TvxFieldValue::Bytes("a")},
                {TvxFieldValue::Integer(2), TvxFieldValue::Bytes("b")}});
    WriteTable(dst, "DETAIL", {MakeField("ID", 1, fldLong), MakeField("F1", 2, fldLong), MakeField("F2", 3, fldAlpha, 5)},
               1,
               {{TvxFieldValue::Integer(1), TvxFieldValue::Integer(1), TvxFieldValue::Bytes("a")},
                {TvxFieldValue::Integer(2), TvxFieldValue::Integer(1), TvxFieldValue::Bytes("b")},
                {TvxFieldValue::Integer(3), TvxFieldValue(), TvxFieldValue::Bytes("a")},
                {TvxFieldValue::Integer(4), TvxFieldValue::Integer(2), TvxFieldValue::Bytes("b")}});
    TvxScriptTableList list;
    list.AddTable("MASTER", std::make_unique<TvxTableDesc>(test::Structure(dst, "MASTER")));
    auto detail = std::make_unique<TvxTableDesc>(test::Structure(dst, "DETAIL"));
    TvxRefIntDesc rule;
    rule.setName("ToMaster");
    rule.setKind(TvxRefIntDesc::Dependent);
    rule.setOtherTable("MASTER.DB");
    rule.setFieldCount(2);
    rule.setThisField(0, 2);
    rule.setThisField(1, 3);
    rule.setOtherField(0, 1);
    rule.setOtherField(1, 2);
    ASSERT_EQ(detail->AddRefInt(rule), 0);
    list.AddTable("DETAIL", std::move(detail));

    ASSERT_EQ(Run(SaveMaintenance(list)), vxRunProblems) << report.message;
    const TvxTableUpdateReport* t = TableReport("DETAIL.DB");
    ASSERT_TRUE(t);
    EXPECT_EQ(t->keyViolations, 1);
    ASSERT_EQ(t->checkBreaks.size(), 1u);
    EXPECT_EQ(t->checkBreaks[0].check, "rule ToMaster");

    const auto rows = test::ReadAll(dst, "DETAIL");
    ASSERT_EQ(rows.size(), 3u); // a blank foreign key needs no master
    const auto violations = test::ReadAll(dst, "KEYVIOL_DETAIL");
    ASSERT_EQ(violations.size(), 1u);
    EXPECT_EQ(violations[0][0], TvxFieldValue::Integer(2));

    const TvxTableDesc d = test::Structure(dst, "DETAIL");
    const TvxTableDesc m = test::Structure(dst, "MASTER");
    ASSERT_EQ(d.RefIntCount(), 1);
    EXPECT_EQ(d.GetRefInt(0)->fieldCount(), 2);
    ASSERT_EQ(m.RefIntCount(), 1);
    EXPECT_EQ(m.GetRefInt(0)->kind(), TvxRefIntDesc::Master);
    EXPECT_EQ(test::ReadAll(dst, "MASTER").size(), 2u);
}

TEST_F(MaintenanceRunTest, UpdateThenMaintenanceOfOneDocumentGiveTheWholeDatabase)
{
    CopySamples(src, {"pd-joins/A.db", "pd-joins/A.PX", "pd-joins/A.VAL", "pd-joins/B.db", "pd-joins/B.PX",
                      "pd-joins/B.VAL", "pd-joins/C.DB", "pd-joins/C.PX", "pd-joins/C.VAL", "pd-joins/C.X02",
                      "pd-joins/C.Y02", "pd-joins/C.X03", "pd-joins/C.Y03"});
    test::TvxScriptMaker m;
    m.Source(src.string());
    for (const char* t : {"A", "B", "C"})
        m.AddTable(t, src.string(), t);
    m.CreateField("C", MakeField("NOTE", 0, fldAlpha, 10), -1, "new");
    // Edits that record no command: they reach the target through the maintenance script.
    m.list.SelectIndex(m.list.IndexOfName("C"));
    TvxIndexDesc byNote;
    byNote.setName("ByNote");
    byNote.setMaintained(true);
    ASSERT_EQ(m.list.AddIndex(byNote), 0);
    ASSERT_EQ(m.list.AddIndexField(4, m.list.IndexCount() - 1), 0);
    ASSERT_TRUE(m.list.DeleteValCheck(1));
    ASSERT_TRUE(m.list.AddValCheck("", "2", *m.list.TableByName("C")->GetField(0), true, "", ""));
    const std::string update = m.SaveUpdate(tmp.file("doc.vxusp"));
    const std::string maintenance = m.SaveMaintenance(tmp.file("doc.vxmsp"));

    ASSERT_EQ(Run(update), vxRunOK) << report.message;
    ASSERT_EQ(Run(maintenance), vxRunProblems) << report.message; // the new maximum of C
    const TvxTableDesc c = test::Structure(dst, "C");
    ASSERT_EQ(c.FieldCount(), 4);
    EXPECT_GE(c.FindIndex("ByNote"), 0);
    ASSERT_TRUE(c.FindValCheck(1));
    EXPECT_TRUE(c.FindValCheck(1)->hasMaximum());
    const auto rows = test::ReadAll(dst, "C");
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[1][3], TvxFieldValue::Bytes("new"));
    const auto problems = test::ReadAll(dst, "PROBLEM_C");
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_EQ(problems[0][0], TvxFieldValue::Integer(3));

    // Into an empty place the maintenance script creates every table, empty.
    const fs::path fresh = tmp.path() / "fresh";
    ASSERT_EQ(Run(maintenance, false, {}, nullptr, fresh.string()), vxRunOK) << report.message;
    for (const char* t : {"A", "B", "C"})
        EXPECT_TRUE(test::ReadAll(fresh, t).empty()) << t;
    EXPECT_GE(test::Structure(fresh, "C").FindIndex("ByNote"), 0);
}

} // namespace
} // namespace morvane
