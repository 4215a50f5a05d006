// The comparison in cases the random edits do not reach: renames that need each other's order
// (A=B with B=C) together with a moved field, run through the update server with their values;
// renames the comparison refuses, leaving the script empty; a field grid linked to the list.

#include "script/IvxStructFields.h"
#include "script/vxUpdateScriptFile.h"

#include <map>

#include "diff/EvxDifferenceError.h"
#include "diff/TvxScriptFromDifference.h"
#include "diff/vxStructureCompare.h"
#include "DiffTestSupport.h"

namespace morvane {
namespace {

namespace fs = std::filesystem;
using test::MakeField;

void WriteTable(const fs::path& dir, const std::string& name, std::vector<TvxFieldDesc> fields,
                const std::vector<TvxRecord>& records)
{
    fs::create_directories(dir);
    TvxTableDesc d;
    d.SetAllNames(name);
    d.CursorProps().setTableLevel(5);
    d.SetFields(std::move(fields));
    TvxIndexDesc key;
    key.setPrimary(true);
    key.setUnique(true);
    key.setMaintained(true);
    key.setKeyFieldCount(1);
    key.setKeyField(0, 1);
    d.SetIndexes({key});
    TvxListSource source(records);
    ParadoxWriteTable(d, source, dir.string(), name);
}

TvxRecord Row(int id, const std::string& a, const std::string& b, int c)
{
    return {TvxFieldValue::Integer(id), TvxFieldValue::Bytes(a), TvxFieldValue::Bytes(b), TvxFieldValue::Integer(c)};
}

class DifferenceCasesTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        WriteTable(src, "T",
                   {MakeField("ID", 1, fldLong), MakeField("A", 2, fldAlpha, 5), MakeField("B", 3, fldAlpha, 5),
                    MakeField("C", 4, fldShort)},
                   {Row(1, "a1", "b1", 10), Row(2, "a2", "b2", 20), Row(3, "a3", "b3", 30)});
        script.SetScriptTableList(&list);
    }
    void TearDown() override { script.SetScriptTableList(nullptr); }

    // The wanted T: ID, then C moved up, B (the source's A), X (the source's B, wider).
    void WriteWanted(std::vector<TvxFieldDesc> fields) { WriteTable(wanted, "T", std::move(fields), {}); }
    TvxDifferenceReport Diff(const std::vector<std::string>& specs)
    {
        TvxFieldRenames renames;
        for (const auto& s : specs)
            renames.Add(s);
        return BuildScriptFromDifference(script, test::ReadSide(src.string()), test::ReadSide(wanted.string()),
                                         renames);
    }

    test::TempDir tmp;
    fs::path src = tmp.path() / "source";
    fs::path wanted = tmp.path() / "wanted";
    TvxScriptTableList list;
    TvxDBScript script;
};

TEST_F(DifferenceCasesTest, RenamesThatWaitForEachOtherCarryTheirValues)
{
    const struct
    {
        std::vector<TvxFieldDesc> wanted;
        std::vector<std::string> renames;
        std::map<std::string, std::string> carried; // wanted field <- source field
    } cases[] = {
        // B must become X before A can become B; C moves up (out and in again).
        {{MakeField("ID", 1, fldLong), MakeField("C", 2, fldShort), MakeField("B", 3, fldAlpha, 5),
          MakeField("X", 4, fldAlpha, 8)},
         {"T.A=B", "T.B=X"},
         {{"ID", "ID"}, {"C", "C"}, {"B", "A"}, {"X", "B"}}},
        // A moves to the end as Z before B may take the name A (the move reads its source by it).
        {{MakeField("ID", 1, fldLong), MakeField("A", 2, fldAlpha, 5), MakeField("C", 3, fldShort),
          MakeField("Z", 4, fldAlpha, 5)},
         {"T.B=A", "T.A=Z"},
         {{"ID", "ID"}, {"A", "B"}, {"C", "C"}, {"Z", "A"}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.renames.front());
        fs::remove_all(wanted);
        WriteWanted(c.wanted);
        script.Clear();
        list.ClearTables();
        const TvxDifferenceReport report = Diff(c.renames);
        ASSERT_EQ(report.tables.size(), 1u);
        EXPECT_EQ(report.tables[0].renamed.size(), 2u);
        EXPECT_EQ(report.tables[0].moved.size(), 1u) << "one field out of place is moved";
        EXPECT_TRUE(report.tables[0].deleted.empty() && report.tables[0].created.empty());
        EXPECT_EQ(StructureDifferences(*list.TableAt(0), test::ReadSide(wanted.string()).tables[0]).size(), 0u);

        SaveUpdateScript(tmp.file("t.vxusp"), "Morvane", script);
        SaveMaintenanceScript(tmp.file("t.vxmsp"), "Morvane", list);
        const fs::path out = tmp.path() / "result";
        fs::remove_all(out);
        ASSERT_EQ(test::RunScripts(tmp.file("t.vxusp"), tmp.file("t.vxmsp"), src.string(), out.string()), "");
        const auto before = test::Columns(src.string(), "T");
        const auto after = test::Columns(out.string(), "T");
        for (const auto& [to, from] : c.carried)
            EXPECT_EQ(after.at(to), before.at(from)) << to << " <- " << from;
    }
}

TEST_F(DifferenceCasesTest, RefusedRenamesLeaveTheScriptEmpty)
{
    WriteWanted({MakeField("ID", 1, fldLong), MakeField("B", 2, fldAlpha, 5), MakeField("A", 3, fldAlpha, 5),
                 MakeField("C", 4, fldShort)});
    const struct
    {
        std::vector<std::string> renames;
        const char* message;
    } cases[] = {
        {{"T.A=B", "T.B=A"}, "take each other's names"},
        {{"T.Z=B"}, "has no field Z"},
        {{"T.A=Q"}, "has no field Q"},
        {{"U.A=B"}, "has no table U"},
        {{"T.A=B", "T.A=C"}, "names a field that another rename"},
        {{"TA=B"}, "not of the form"},
    };
    for (const auto& c : cases) {
        try {
            Diff(c.renames);
            ADD_FAILURE() << c.message << ": not refused";
        } catch (const EvxDifferenceError& e) {
            EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos) << e.what();
        }
        EXPECT_EQ(script.Count(), 0) << c.message;
        EXPECT_EQ(list.Count(), 0) << c.message;
    }
    ASSERT_NO_THROW(Diff({}));
    EXPECT_THROW(Diff({}), EvxDifferenceError) << "only into an empty script";
}

// A grid that only counts what the list shows it.
class CountingGrid : public IvxStructFields
{
public:
    void ShowFields(const TvxFieldDesc*, int count) override { shown = count; }
    void InsertAtCurrentRow(const TvxFieldDesc&) override { ++inserted; }
    void UpdateCurrentRow(const TvxFieldDesc&) override {}
    void DeleteRow(int) override {}
    int SelectedRow() const override { return 1; } // the first row: every insert would go there
    int shown = -1;
    int inserted = 0;
};

TEST_F(DifferenceCasesTest, ALinkedGridNeitherPlacesTheFieldsNorStaysBehind)
{
    WriteWanted({MakeField("ID", 1, fldLong), MakeField("A", 2, fldAlpha, 5), MakeField("N", 3, fldLong),
                 MakeField("B", 4, fldAlpha, 5), MakeField("C", 5, fldShort)});
    CountingGrid grid;
    list.SetStructFields(&grid);
    Diff({});
    EXPECT_EQ(list.StructFields(), &grid);
    EXPECT_EQ(grid.inserted, 0);
    EXPECT_EQ(grid.shown, 5) << "the grid shows the selected table afresh";
    EXPECT_EQ(StructureDifferences(*list.TableAt(0), test::ReadSide(wanted.string()).tables[0]).size(), 0u);
    list.SetStructFields(nullptr);
}

} // namespace
} // namespace morvane
