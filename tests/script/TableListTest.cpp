// The new-structure table list: selection, field edits kept in step with a grid, the checks
// over all tables, and streaming of all descriptors.

#include "BuilderFixture.h"

#include "model/vxTextCase.h"
#include "stream/EvxStreamError.h"
#include "stream/TReader.h"
#include "stream/TWriter.h"
#include "stream/TvxMemoryStream.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <string>
#include <vector>

namespace morvane {
namespace {

// A field grid that behaves like the real one (title row, one row per field, a trailing blank
// row, a selected row) and records the calls it gets.
class RecordingGrid : public IvxStructFields
{
public:
    std::vector<std::string> rows{"<title>", ""};
    int selected = 1;
    std::vector<std::string> calls;

    void ShowFields(const TvxFieldDesc* fields, int count) override
    {
        calls.push_back("Show " + std::to_string(count));
        rows.assign(1, "<title>");
        for (int i = 0; i < count; ++i)
            rows.push_back(fields[i].name());
        rows.push_back("");
        if (selected >= static_cast<int>(rows.size()))
            selected = static_cast<int>(rows.size()) - 1;
    }
    void InsertAtCurrentRow(const TvxFieldDesc& field) override
    {
        calls.push_back("Insert " + std::to_string(selected) + " " + field.name());
        rows.insert(rows.begin() + selected, field.name());
        ++selected;
    }
    void UpdateCurrentRow(const TvxFieldDesc& field) override
    {
        calls.push_back("Update " + std::to_string(selected) + " " + field.name());
        rows[static_cast<std::size_t>(selected)] = field.name();
    }
    void DeleteRow(int row) override
    {
        calls.push_back("Delete " + std::to_string(row));
        if (rows.size() > 2)
            rows.erase(rows.begin() + row);
        else
            rows[1].clear();
        if (selected >= static_cast<int>(rows.size()))
            selected = static_cast<int>(rows.size()) - 1;
    }
    int SelectedRow() const override { return selected; }
};

using test::MakeField;
using test::SourceTable;

std::vector<std::string> FieldNames(const TvxTableDesc& desc)
{
    std::vector<std::string> names;
    for (const auto& f : desc.Fields())
        names.push_back(f.name());
    return names;
}

TvxRefIntDesc Rule(const std::string& name, const std::string& otherTable, int fieldCount)
{
    TvxRefIntDesc r;
    r.setName(name);
    r.setKind(TvxRefIntDesc::Dependent);
    r.setOtherTable(otherTable);
    r.setFieldCount(fieldCount);
    for (int i = 0; i < fieldCount; ++i)
        r.setOtherField(i, i + 1);
    return r;
}

TvxIndexDesc PrimaryKey(int keyFields)
{
    TvxIndexDesc x;
    x.setPrimary(true);
    x.setKeyFieldCount(keyFields);
    for (int i = 0; i < keyFields; ++i)
        x.setKeyField(i, i + 1);
    return x;
}

class TableListTest : public ::testing::Test
{
protected:
    TvxScriptTableList list;
    RecordingGrid grid;
};

// ---- Selection -----------------------------------------------------------------------------

TEST_F(TableListTest, NothingSelectedShowsAnEmptyGrid)
{
    list.SetStructFields(&grid);
    list.AddTable("CLI", SourceTable("CLI", {"A", "B"}));
    list.RefreshFields();
    EXPECT_EQ(grid.rows.size(), 2u);
    EXPECT_EQ(grid.calls.back(), "Show 0");
    EXPECT_EQ(list.SelectedTable(), nullptr);
    EXPECT_EQ(list.SelectedName(), "");
    EXPECT_EQ(list.CurrentField(), nullptr);
}

TEST_F(TableListTest, SelectIndexRefreshesGridAndFiresOnChangeOnlyWhenMoved)
{
    list.SetStructFields(&grid);
    int changes = 0;
    list.OnChange = [&] { ++changes; };
    list.AddTable("CLI", SourceTable("CLI", {"A", "B"}));
    list.AddTable("PED", SourceTable("PED", {"X"}));

    list.SelectIndex(0);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(grid.rows, (std::vector<std::string>{"<title>", "A", "B", ""}));
    list.SelectIndex(0);
    EXPECT_EQ(changes, 1);
    list.SelectIndex(1);
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(list.SelectedName(), "PED");
    EXPECT_EQ(grid.rows.size(), 3u);

    list.SelectIndex(7); // out of range: no selection
    EXPECT_EQ(list.ItemIndex(), -1);
    EXPECT_EQ(changes, 3);
    EXPECT_EQ(grid.rows.size(), 2u);
}

TEST_F(TableListTest, LookUpsByNameAndPosition)
{
    list.AddTable("Clientes", SourceTable("Clientes"));
    EXPECT_EQ(list.TableAt(1), nullptr);
    EXPECT_EQ(list.TableAt(-1), nullptr);
    EXPECT_EQ(list.NameAt(0), "Clientes");

    // Random adds, deletes, renames, replacements and clears: a name finds the first entry whose
    // text equals it ignoring letter case (Windows-1252 letters too), as a scan would.
    const std::vector<std::string> names{"cli", "CLI", "Ped", "a\xE7\xE3o", "A\xC7\xC3O", "X", "x1"};
    std::mt19937 random(7);
    const auto pick = [&] { return names[random() % names.size()]; };
    for (int step = 0; step < 3000; ++step) {
        switch (random() % 8) {
        case 0:
            list.DeleteTable(static_cast<int>(random() % (list.Count() + 1)));
            break;
        case 1:
            list.SelectIndex(static_cast<int>(random() % (list.Count() + 1)));
            list.RenameSelected(pick());
            break;
        case 2: {
            std::vector<std::pair<std::string, std::unique_ptr<TvxTableDesc>>> with;
            with.emplace_back(pick(), nullptr);
            list.ReplaceEntries(static_cast<int>(random() % (list.Count() + 1)), 1, std::move(with));
            break;
        }
        case 3:
            if (random() % 20 == 0)
                list.ClearTables();
            break;
        default:
            list.AddTable(pick(), nullptr);
            break;
        }
        const std::string name = pick();
        int first = -1;
        for (int i = 0; i < list.Count() && first < 0; ++i)
            if (SameText(list.NameAt(i), name))
                first = i;
        ASSERT_EQ(list.IndexOfName(name), first) << "step " << step;
        ASSERT_EQ(list.TableByName(name), list.TableAt(first)) << "step " << step;
    }
}

TEST_F(TableListTest, RenameSelectedReplacesTextDifferingOnlyInCase)
{
    list.AddTable("cli", SourceTable("cli"));
    list.RenameSelected("CLI"); // nothing selected: nothing happens
    EXPECT_EQ(list.NameAt(0), "cli");
    list.SelectIndex(0);
    list.RenameSelected("CLI");
    EXPECT_EQ(list.SelectedName(), "CLI");
}

TEST_F(TableListTest, DeletingTheSelectedEntrySelectsTheNextAndRefreshesTheGrid)
{
    list.SetStructFields(&grid);
    list.AddTable("A", SourceTable("A", {"A1"}));
    list.AddTable("B", SourceTable("B", {"B1", "B2"}));
    list.AddTable("C", SourceTable("C", {"C1", "C2", "C3"}));
    list.SelectIndex(1);

    list.DeleteTable(1);
    EXPECT_EQ(list.Count(), 2);
    EXPECT_EQ(list.SelectedName(), "C");
    EXPECT_EQ(grid.rows, (std::vector<std::string>{"<title>", "C1", "C2", "C3", ""}));

    list.DeleteTable(0); // before the selection: the same table stays selected
    EXPECT_EQ(list.SelectedName(), "C");
    EXPECT_EQ(list.ItemIndex(), 0);

    list.DeleteTable(0);
    EXPECT_EQ(list.ItemIndex(), -1);
    EXPECT_EQ(grid.rows.size(), 2u);
}

TEST_F(TableListTest, ClearTablesEmptiesListAndGrid)
{
    list.SetStructFields(&grid);
    int changes = 0;
    list.OnChange = [&] { ++changes; };
    list.AddTable("A", SourceTable("A", {"A1"}));
    list.AddTable("B", SourceTable("B"));
    list.SelectIndex(0);
    list.ClearTables();
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.SelectedTable(), nullptr);
    EXPECT_EQ(grid.rows.size(), 2u);
    EXPECT_EQ(changes, 2);
}

// ---- Field edits with a grid ---------------------------------------------------------------

TEST_F(TableListTest, InsertOnTheBlankRowAppendsToDescriptorAndGrid)
{
    list.SetStructFields(&grid);
    list.AddTable("CLI", SourceTable("CLI", {"A", "B"}));
    list.SelectIndex(0);
    grid.selected = 3; // the blank row

    EXPECT_TRUE(list.InsertField(MakeField("C", 3)));
    EXPECT_TRUE(list.InsertField(MakeField("D", 4)));
    EXPECT_EQ(FieldNames(*list.SelectedTable()), (std::vector<std::string>{"A", "B", "C", "D"}));
    EXPECT_EQ(grid.rows, (std::vector<std::string>{"<title>", "A", "B", "C", "D", ""}));
}

TEST_F(TableListTest, InsertAtAFieldRowInsertsBeforeIt)
{
    list.SetStructFields(&grid);
    list.AddTable("CLI", SourceTable("CLI", {"A", "B"}));
    list.SelectIndex(0);
    grid.selected = 2; // field B

    EXPECT_TRUE(list.InsertField(MakeField("N", 2)));
    EXPECT_EQ(FieldNames(*list.SelectedTable()), (std::vector<std::string>{"A", "N", "B"}));
    EXPECT_EQ(grid.rows, (std::vector<std::string>{"<title>", "A", "N", "B", ""}));
    EXPECT_EQ(list.CurrentField()->name(), "B");
}

TEST_F(TableListTest, InsertWithTheTitleRowSelectedAppendsAndShowsAgain)
{
    list.SetStructFields(&grid);
    list.AddTable("CLI", SourceTable("CLI", {"A"}));
    list.SelectIndex(0);
    grid.selected = 0;
    EXPECT_TRUE(list.InsertField(MakeField("Z", 2)));
    EXPECT_EQ(FieldNames(*list.SelectedTable()), (std::vector<std::string>{"A", "Z"}));
    EXPECT_EQ(grid.rows, (std::vector<std::string>{"<title>", "A", "Z", ""}));
}

TEST_F(TableListTest, InsertRefusedByTheDescriptorLeavesTheGridAlone)
{
    list.SetStructFields(&grid);
    std::vector<std::string> names;
    for (int i = 0; i < TvxTableDesc::MaxFields; ++i)
        names.push_back(std::string(1, 'F').append(std::to_string(i)));
    list.AddTable("BIG", SourceTable("BIG", names));
    list.SelectIndex(0);
    const auto callsBefore = grid.calls.size();
    EXPECT_FALSE(list.InsertField(MakeField("X")));
    EXPECT_EQ(grid.calls.size(), callsBefore);
    EXPECT_EQ(list.FieldCount(), TvxTableDesc::MaxFields);
}

TEST_F(TableListTest, ChangeFieldReplacesTheSelectedRowOnly)
{
    list.SetStructFields(&grid);
    list.AddTable("CLI", SourceTable("CLI", {"A", "B"}));
    list.SelectIndex(0);
    grid.selected = 1;
    EXPECT_TRUE(list.ChangeField(MakeField("AA", 1)));
    EXPECT_EQ(FieldNames(*list.SelectedTable()), (std::vector<std::string>{"AA", "B"}));
    EXPECT_EQ(grid.calls.back(), "Update 1 AA");

    grid.selected = 3; // the blank row is no field
    EXPECT_FALSE(list.ChangeField(MakeField("ZZ")));
    EXPECT_EQ(FieldNames(*list.SelectedTable()), (std::vector<std::string>{"AA", "B"}));
    EXPECT_EQ(grid.calls.back(), "Update 1 AA");
}

TEST_F(TableListTest, DeleteFieldRemovesTheNamedFieldWhateverRowIsSelected)
{
    list.SetStructFields(&grid);
    list.AddTable("CLI", SourceTable("CLI", {"A", "B", "C"}));
    list.SelectIndex(0);
    grid.selected = 1; // row of A

    EXPECT_TRUE(list.DeleteField("c"));
    EXPECT_EQ(FieldNames(*list.SelectedTable()), (std::vector<std::string>{"A", "B"}));
    EXPECT_EQ(grid.rows, (std::vector<std::string>{"<title>", "A", "B", ""}));
    EXPECT_FALSE(list.DeleteField("NONE"));
    EXPECT_EQ(list.FieldCount(), 2);
}

TEST_F(TableListTest, FieldEditsChangeOnlyTheSelectedTable)
{
    list.SetStructFields(&grid);
    list.AddTable("A", SourceTable("A", {"X"}));
    list.AddTable("B", SourceTable("B", {"X"}));
    list.SelectIndex(1);
    grid.selected = 2;
    list.InsertField(MakeField("Y", 2));
    list.DeleteField("X");
    EXPECT_EQ(FieldNames(*list.TableAt(0)), (std::vector<std::string>{"X"}));
    EXPECT_EQ(FieldNames(*list.TableAt(1)), (std::vector<std::string>{"Y"}));
}

// ---- Field edits without a grid ------------------------------------------------------------

TEST_F(TableListTest, WithoutGridInsertsAppendAfterSelection)
{
    list.AddTable("CLI", SourceTable("CLI", {"A"}));
    EXPECT_FALSE(list.InsertField(MakeField("X"))); // nothing selected
    list.SelectIndex(0);
    EXPECT_EQ(list.CurrentFieldPos(), 1);
    EXPECT_TRUE(list.InsertField(MakeField("B", 2)));
    EXPECT_TRUE(list.InsertField(MakeField("C", 3)));
    EXPECT_EQ(FieldNames(*list.SelectedTable()), (std::vector<std::string>{"A", "B", "C"}));
    EXPECT_EQ(list.CurrentField(), nullptr);
}

TEST_F(TableListTest, WithoutGridTheTrackedPositionCanBeMoved)
{
    list.AddTable("CLI", SourceTable("CLI", {"A", "B", "C"}));
    list.SelectIndex(0);
    list.SetCurrentFieldPos(1);
    EXPECT_EQ(list.CurrentField()->name(), "B");
    EXPECT_TRUE(list.ChangeField(MakeField("BB", 2)));
    EXPECT_TRUE(list.InsertField(MakeField("N", 2)));
    EXPECT_EQ(FieldNames(*list.SelectedTable()), (std::vector<std::string>{"A", "N", "BB", "C"}));
    EXPECT_EQ(list.CurrentField()->name(), "BB");

    list.SetCurrentFieldPos(99); // clamped to the blank position
    EXPECT_EQ(list.CurrentFieldPos(), 4);
    EXPECT_TRUE(list.DeleteField("c"));
    EXPECT_EQ(list.CurrentFieldPos(), 3);
}

// ---- Forwarding ----------------------------------------------------------------------------

TEST_F(TableListTest, ForwardingWithoutSelectionChangesNothing)
{
    list.AddTable("CLI", SourceTable("CLI", {"A"}));
    std::vector<std::string> strings{"keep"};
    EXPECT_EQ(list.FieldCount(), 0);
    EXPECT_TRUE(list.Fields().empty());
    EXPECT_NE(list.AddIndex(PrimaryKey(1)), 0);
    EXPECT_NE(list.AddRefInt(Rule("R", "X.DB", 1)), 0);
    EXPECT_FALSE(list.DeleteRefInt(0));
    EXPECT_EQ(list.GetIndex(0), nullptr);
    list.ListRuleFields(strings, 0);
    EXPECT_EQ(strings, std::vector<std::string>{"keep"});
    EXPECT_EQ(list.TableAt(0)->IndexCount(), 0);
}

TEST_F(TableListTest, RenameRefIntCutsTheNewNameTo30Characters)
{
    auto desc = SourceTable("CLI", {"A"});
    desc->SetRefInts({Rule("OLD", "PAI.DB", 1)});
    list.AddTable("CLI", std::move(desc));
    list.SelectIndex(0);
    const std::string longName(40, 'R');
    list.RenameRefInt("OLD", longName);
    ASSERT_NE(list.GetRefInt(0), nullptr);
    EXPECT_EQ(list.GetRefInt(0)->name(), std::string(30, 'R'));
}

// ---- Over all entries ----------------------------------------------------------------------

TEST_F(TableListTest, IsRefIntMasterSeesRulesOfEveryTableIncludingItself)
{
    auto self = SourceTable("CLI", {"A", "B"});
    self->SetRefInts({Rule("SELF", "CLI.DB", 1)});
    list.AddTable("CLI", std::move(self));
    list.AddTable("PED", SourceTable("PED", {"X"}));
    list.AddTable("ITE", SourceTable("ITE", {"Y"}));
    // A rule copied from a source names the file as the disk has it.
    list.TableAt(2)->SetRefInts({Rule("R1", "ped.db", 1)});

    EXPECT_FALSE(list.IsRefIntMaster()); // nothing selected
    list.SelectIndex(0);
    EXPECT_TRUE(list.IsRefIntMaster());
    list.SelectIndex(1);
    EXPECT_TRUE(list.IsRefIntMaster());
    list.SelectIndex(2);
    EXPECT_FALSE(list.IsRefIntMaster());
}

TEST_F(TableListTest, AllTablesChecks)
{
    EXPECT_TRUE(list.AllTablesHaveIndexFields());
    EXPECT_TRUE(list.AllTablesRefIntsComplete());

    list.AddTable("A", SourceTable("A", {"K"}));
    list.TableAt(0)->SetIndexes({PrimaryKey(1)});
    list.AddTable("B", SourceTable("B", {"K"}));
    EXPECT_TRUE(list.AllTablesHaveIndexFields());
    EXPECT_TRUE(list.AllTablesRefIntsComplete());

    list.TableAt(1)->SetIndexes({PrimaryKey(0)});
    list.TableAt(1)->SetRefInts({Rule("R", "A.DB", 1)}); // no field of B chosen yet
    EXPECT_FALSE(list.AllTablesHaveIndexFields());
    EXPECT_FALSE(list.AllTablesRefIntsComplete());
}

TEST_F(TableListTest, ListNextRuleFieldsOffersCompatibleFieldsUntilTheRuleIsComplete)
{
    auto master = SourceTable("PAI", {"ID", "NOME"});
    master->SetIndexes({PrimaryKey(1)});
    list.AddTable("PAI", std::move(master));
    auto child = SourceTable("FILHO", {"COD", "PAI_ID", "OBS"});
    child->SetRefInts({Rule("R", "PAI.DB", 1), Rule("R2", "OUTRA.DB", 1)});
    list.AddTable("FILHO", std::move(child));
    list.SelectIndex(1);

    std::vector<std::string> strings{"keep"};
    list.ListNextRuleFields(strings, 1); // master not among the entries
    EXPECT_EQ(strings, std::vector<std::string>{"keep"});

    list.ListNextRuleFields(strings, 0);
    EXPECT_EQ(strings, (std::vector<std::string>{"COD", "PAI_ID", "OBS"}));

    TvxRefIntDesc filled = Rule("R", "PAI.DB", 1);
    filled.setThisField(0, 2);
    list.TableAt(1)->SetRefInts({filled});
    list.ListNextRuleFields(strings, 0);
    EXPECT_TRUE(strings.empty());
}

// ---- Streaming -----------------------------------------------------------------------------

TEST_F(TableListTest, DescriptorsRoundTripByteForByte)
{
    auto a = SourceTable("A", {"K", "V"});
    a->SetIndexes({PrimaryKey(1)});
    ASSERT_TRUE(a->AddValCheck("1", "9", a->Fields()[0], true, "###", "5"));
    list.AddTable("A", std::move(a));
    auto b = SourceTable("B", {"K"});
    b->SetRefInts({Rule("R", "A.DB", 1)});
    list.AddTable("B", std::move(b));

    TvxMemoryStream stream;
    list.WriteAllDescriptors(stream);
    stream.SetPosition(0);

    TvxScriptTableList loaded;
    loaded.AddTable("A", SourceTable("A", {"K", "V"}));
    loaded.AddTable("B", SourceTable("B", {"K"}));
    EXPECT_TRUE(loaded.ReadAllDescriptors(stream));
    EXPECT_EQ(stream.Position(), stream.Size());
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(loaded.TableAt(i)->Indexes(), list.TableAt(i)->Indexes());
        EXPECT_EQ(loaded.TableAt(i)->RefInts(), list.TableAt(i)->RefInts());
        EXPECT_EQ(loaded.TableAt(i)->ValChecks(), list.TableAt(i)->ValChecks());
    }

    TvxMemoryStream again;
    loaded.WriteAllDescriptors(again);
    EXPECT_EQ(again.Bytes(), stream.Bytes());
}

TEST_F(TableListTest, EmptyTablesWriteThreeZeroCounts)
{
    list.AddTable("CLI", SourceTable("CLI"));
    TvxMemoryStream stream;
    list.WriteAllDescriptors(stream);
    EXPECT_EQ(stream.Bytes(), (std::vector<std::uint8_t>{2, 1, 2, 0, 2, 0, 2, 0}));
}

TEST_F(TableListTest, ReadAllDescriptorsWithAnotherCountReadsNothingMore)
{
    TvxScriptTableList three;
    for (const char* n : {"A", "B", "C"})
        three.AddTable(n, SourceTable(n));
    three.TableAt(0)->SetIndexes({PrimaryKey(1)});
    TvxMemoryStream stream;
    three.WriteAllDescriptors(stream);
    stream.SetPosition(0);

    list.AddTable("A", SourceTable("A"));
    list.AddTable("B", SourceTable("B"));
    EXPECT_FALSE(list.ReadAllDescriptors(stream));
    EXPECT_EQ(stream.Position(), 2); // only the count was consumed
    EXPECT_EQ(list.TableAt(0)->IndexCount(), 0);
}

TEST_F(TableListTest, DamagedDescriptorsThrowAndChangeNoTable)
{
    TvxScriptTableList source;
    source.AddTable("A", SourceTable("A", {"K"}));
    source.TableAt(0)->SetIndexes({PrimaryKey(1)});
    source.AddTable("B", SourceTable("B", {"K"}));
    source.TableAt(1)->SetIndexes({PrimaryKey(1)});
    TvxMemoryStream full;
    source.WriteAllDescriptors(full);
    // Cut inside the second table's index block.
    std::vector<std::uint8_t> bytes(full.Bytes().begin(), full.Bytes().end() - 100);
    TvxMemoryStream cut(bytes);

    list.AddTable("A", SourceTable("A", {"K"}));
    list.AddTable("B", SourceTable("B", {"K"}));
    EXPECT_THROW(list.ReadAllDescriptors(cut), EReadError);
    EXPECT_EQ(list.TableAt(0)->IndexCount(), 0);
    EXPECT_EQ(list.TableAt(1)->IndexCount(), 0);
}

TEST_F(TableListTest, WriteAllStructuresWritesCountThenStructures)
{
    list.AddTable("A", SourceTable("A", {"K"}));
    list.AddTable("B", SourceTable("B"));
    TvxMemoryStream stream;
    list.WriteAllStructures(stream);

    TvxMemoryStream expected;
    {
        TWriter w(expected);
        w.PutInteger(2);
        list.TableAt(0)->WriteStructure(w);
        list.TableAt(1)->WriteStructure(w);
        w.Flush();
    }
    EXPECT_EQ(stream.Bytes(), expected.Bytes());
    EXPECT_EQ(stream.Size(), 2 + 2 * 574 + 2 * 2 + 62 + 2 * 6);
}

} // namespace
} // namespace morvane
