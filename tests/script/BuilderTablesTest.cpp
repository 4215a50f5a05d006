// The builder's database and table commands: one source and one target alias, table creation,
// renaming and deletion folded into what the script holds, and the command texts.

#include <stdexcept>

#include "BuilderFixture.h"

namespace morvane::test {
namespace {

// ---- Aliases -------------------------------------------------------------------------------

TEST_F(BuilderTest, AddAliasTwiceReplacesTheFirstInItsPlace)
{
    EXPECT_EQ(Add(ckAddAlias, {"", "STANDARD", "/data/old"}), 0);
    EXPECT_EQ(CreateTable("CLI"), 0);
    EXPECT_EQ(Add(ckAddAlias, {"PROD", "STANDARD", "/data/prod"}), 0);

    EXPECT_EQ(Kinds(), (std::vector<int>{ckAddAlias, ckCreateTable}));
    EXPECT_EQ(script.Command(0)->ParamText(AliasParam::AliasName), "PROD");
    EXPECT_EQ(announced.size(), 2u); // the replacement is not announced
}

TEST_F(BuilderTest, AddNewAliasGoesToTheHeadAndIsReplacedInPlace)
{
    Add(ckAddAlias, {"", "STANDARD", "/data/old"});
    CreateTable("CLI");
    EXPECT_EQ(Add(ckAddNewAlias, {"", "STANDARD", "/data/new"}), 0);
    EXPECT_EQ(Kinds(), (std::vector<int>{ckAddNewAlias, ckAddAlias, ckCreateTable}));

    EXPECT_EQ(Add(ckAddNewAlias, {"ALVO", "STANDARD", ""}), 0);
    EXPECT_EQ(Kinds(), (std::vector<int>{ckAddNewAlias, ckAddAlias, ckCreateTable}));
    EXPECT_EQ(script.Command(0)->ParamText(AliasParam::AliasName), "ALVO");
    EXPECT_EQ(announced.size(), 2u);
}

TEST_F(BuilderTest, AddNewAliasWithoutParametersRemovesTheTarget)
{
    Add(ckAddNewAlias, {"", "STANDARD", "/data/new"});
    CreateTable("CLI");
    EXPECT_EQ(Add(ckAddNewAlias, {}), 0);
    EXPECT_EQ(Kinds(), (std::vector<int>{ckCreateTable}));
    EXPECT_EQ(Add(ckAddNewAlias, {}), 0); // nothing to remove: still not stored
    EXPECT_EQ(Kinds(), (std::vector<int>{ckCreateTable}));
    // The table commands are still found after the list shifted.
    EXPECT_EQ(script.FindTableCommand("cli"), 0);
}

// ---- Creating and adding tables ------------------------------------------------------------

TEST_F(BuilderTest, CreateTableAddsAndSelectsANamedEntry)
{
    EXPECT_EQ(CreateTable("CLI"), 0);
    EXPECT_EQ(CreateTable("PED"), 0);
    ASSERT_EQ(list.Count(), 2);
    EXPECT_EQ(list.SelectedName(), "PED");
    const TvxTableDesc* desc = list.SelectedTable();
    EXPECT_EQ(desc->TableName(), "PED");
    EXPECT_EQ(desc->FileName(), "PED.DB");
    EXPECT_EQ(desc->TableList().tableType(), "PARADOX");
    EXPECT_EQ(announced.size(), 2u);
}

TEST_F(BuilderTest, CreateTableWithANameInUseIsIgnored)
{
    CreateTable("Clientes");
    EXPECT_EQ(CreateTable("CLIENTES"), 0);
    EXPECT_EQ(script.Count(), 1);
    EXPECT_EQ(list.Count(), 1);
    EXPECT_EQ(announced.size(), 1u);
    EXPECT_EQ(AddTable("clientes", SourceTable("OUTRA", {"A"})), 0);
    EXPECT_EQ(script.Count(), 1);
    EXPECT_EQ(list.Count(), 1);
}

TEST_F(BuilderTest, CreateTableWithoutAListIsOnlyRecorded)
{
    script.SetScriptTableList(nullptr);
    EXPECT_EQ(CreateTable("CLI"), 0);
    EXPECT_EQ(AddTable("PED", SourceTable("PEDIDOS", {"A"})), 0);
    EXPECT_EQ(Kinds(), (std::vector<int>{ckCreateTable, ckAddTable}));
    EXPECT_EQ(list.Count(), 0);
}

TEST_F(BuilderTest, AddTableRecordsTheSourceNameAndTakesTheDescriptor)
{
    EXPECT_EQ(AddTable("CLIENTES2", SourceTable("CLIENTES", {"COD", "NOME"})), 0);
    ASSERT_EQ(script.Count(), 1);
    EXPECT_EQ(script.Command(0)->ParamCount(), 2);
    EXPECT_EQ(script.Command(0)->ParamText(AddTableParam::SourceTable), "CLIENTES");
    EXPECT_EQ(script.NewNameOfAddedTable("clientes"), "CLIENTES2");
    EXPECT_EQ(script.NewNameOfAddedTable("OUTRA"), "");
    EXPECT_EQ(list.SelectedName(), "CLIENTES2");
    EXPECT_EQ(list.SelectedTable()->TableName(), "CLIENTES2");
    EXPECT_EQ(FieldNames(0), (std::vector<std::string>{"COD", "NOME"}));
}

TEST_F(BuilderTest, MissingExtrasAreRefusedBeforeAnythingChanges)
{
    CreateTable("CLI");
    for (std::uint8_t kind : {ckAddTable, ckCreateField, ckChangeField, ckMoveField}) {
        auto command = MakeCommand(kind, {"CLI"});
        EXPECT_THROW(script.AddCommand(command), std::invalid_argument);
        ASSERT_NE(command, nullptr);
        EXPECT_EQ(command->ParamCount(), 1);
    }
    std::unique_ptr<TvxCommand> none;
    EXPECT_THROW(script.AddCommand(none), std::invalid_argument);
    EXPECT_EQ(script.Count(), 1);
}

// ---- Renaming a table ----------------------------------------------------------------------

TEST_F(BuilderTest, ChangeTableRenamesExactlyMatchingTableParameters)
{
    CreateTable("T");
    CreateField("T", "A", 1);
    Add(ckAddPassword, {"T", "segredo"});
    Add(ckAddPassword, {"t", "outra"});
    Add(ckMoveField, {"T", "T"}, TvxCommandExtras::ForFields(MakeField("M", 1), MakeField("M", 2)));
    Add(ckMoveField, {"OLD", "T"}, TvxCommandExtras::ForFields(MakeField("N", 1), MakeField("N", 3)));
    const int before = script.Count();

    EXPECT_EQ(Add(ckChangeTable, {"T", "U"}), 0);
    EXPECT_EQ(script.Count(), before); // never stored
    EXPECT_EQ(script.Command(0)->ParamText(CreateTableParam::Table), "U");
    EXPECT_EQ(script.Command(1)->ParamText(CreateFieldParam::Table), "U");
    EXPECT_EQ(script.Command(2)->ParamText(AddPasswordParam::Table), "U");
    EXPECT_EQ(script.Command(3)->ParamText(AddPasswordParam::Table), "t");
    // A Move field keeps its source table and renames its target.
    EXPECT_EQ(script.Command(4)->ParamText(MoveFieldParam::SourceTable), "T");
    EXPECT_EQ(script.Command(4)->ParamText(MoveFieldParam::TargetTable), "U");
    EXPECT_EQ(script.Command(5)->ParamText(MoveFieldParam::TargetTable), "U");
    EXPECT_EQ(list.SelectedName(), "U");
    // The look-ups follow the new name.
    EXPECT_EQ(script.FindTableCommand("U"), 0);
    EXPECT_EQ(script.FindTableCommand("T"), -1);
    EXPECT_EQ(CreateField("U", "a", 2), vxErrFieldNameInUse);
}

TEST_F(BuilderTest, ChangeTableToTheNameOfAnotherTableIsRefused)
{
    CreateTable("A");
    CreateField("A", "X", 1);
    CreateTable("B");
    list.SelectIndex(0);
    EXPECT_EQ(Add(ckChangeTable, {"A", "b"}), vxErrTableExists);
    EXPECT_EQ(script.Command(0)->ParamText(CreateTableParam::Table), "A");
    EXPECT_EQ(script.Command(1)->ParamText(CreateFieldParam::Table), "A");
    EXPECT_EQ(list.NameAt(0), "A");

    EXPECT_EQ(Add(ckChangeTable, {"A", "a"}), 0); // only its own letter case changes
    EXPECT_EQ(script.Command(1)->ParamText(CreateFieldParam::Table), "a");
    EXPECT_EQ(list.NameAt(0), "a");
}

// ---- Deleting a table ----------------------------------------------------------------------

TEST_F(BuilderTest, DeleteTableRemovesItsCommandsButKeepsItsPassword)
{
    Add(ckAddAlias, {"", "STANDARD", "/data"});
    CreateTable("T");
    CreateField("T", "A", 1);
    CreateField("T", "B", 2);
    ChangeField("T", MakeField("B", 2), MakeField("B2", 2));
    Add(ckAddPassword, {"T", "segredo"});
    CreateTable("K");
    CreateField("K", "X", 1);
    list.SelectIndex(0);
    Add(ckMoveField, {"SRC", "T"}, TvxCommandExtras::ForFields(MakeField("M", 1), MakeField("M", 3)));
    Add(ckMoveField, {"T", "K"}, TvxCommandExtras::ForFields(MakeField("N", 1), MakeField("N", 2)));
    Add(ckCreateField, {"t"}, TvxCommandExtras::ForCreateField(MakeField("LOWER", 1), ""));
    list.SelectIndex(0);

    EXPECT_EQ(Add(ckDeleteTable, {"T"}), 0);
    EXPECT_EQ(Kinds(),
              (std::vector<int>{ckAddAlias, ckAddPassword, ckCreateTable, ckCreateField, ckMoveField, ckCreateField}));
    EXPECT_EQ(script.Command(4)->ParamText(MoveFieldParam::SourceTable), "T"); // a move out of T into K stays
    EXPECT_EQ(script.Command(5)->ParamText(CreateFieldParam::Table), "t");
    ASSERT_EQ(list.Count(), 1);
    EXPECT_EQ(list.NameAt(0), "K");
    EXPECT_EQ(list.SelectedName(), "K");
}

TEST_F(BuilderTest, DeletingTheLastTableSelectsTheOneBefore)
{
    CreateTable("A");
    CreateTable("B");
    CreateTable("C");
    EXPECT_EQ(Add(ckDeleteTable, {"C"}), 0);
    EXPECT_EQ(list.Count(), 2);
    EXPECT_EQ(list.SelectedName(), "B");
    EXPECT_EQ(Add(ckDeleteTable, {"B"}), 0);
    EXPECT_EQ(list.SelectedName(), "A");
    EXPECT_EQ(Add(ckDeleteTable, {"A"}), 0);
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.ItemIndex(), -1);
    EXPECT_EQ(script.Count(), 0);
}

TEST_F(BuilderTest, DeleteTableRemovesTheNamedEntryWhenAnotherIsSelected)
{
    CreateTable("A");
    CreateTable("B");
    list.SelectIndex(1);
    EXPECT_EQ(Add(ckDeleteTable, {"A"}), 0);
    ASSERT_EQ(list.Count(), 1);
    EXPECT_EQ(list.NameAt(0), "B");
    EXPECT_EQ(list.SelectedName(), "B");
    EXPECT_EQ(Add(ckDeleteTable, {"NONE"}), 0);
    EXPECT_EQ(list.Count(), 1);
}

// ---- Look-ups and texts --------------------------------------------------------------------

TEST_F(BuilderTest, LookUps)
{
    CreateTable("CLI");
    Add(ckAddPassword, {"Cli", "x"});
    CreateField("CLI", "NOME", 1, "fulano");
    EXPECT_EQ(script.FindFirstOfKind(ckAddPassword), 1);
    EXPECT_EQ(script.FindFirstOfKind(ckAddAlias), -1);
    EXPECT_EQ(script.FindPassword("CLI"), 1);
    EXPECT_EQ(script.FindPassword("PED"), -1);
    EXPECT_EQ(script.NewValueOf("cli", "nome"), "fulano");
    EXPECT_EQ(script.NewValueOf("cli", "outro"), "");

    TvxCommand same(ckAddPassword, {std::string("Cli"), std::string("x")});
    EXPECT_EQ(script.FindEqual(same, -1), 1);
    EXPECT_EQ(script.FindEqual(same, 1), -1);
    EXPECT_EQ(script.FindEqual(same, 2), 1);
}

TEST_F(BuilderTest, CommandTextsListEveryCommandWithItsParameters)
{
    CreateTable("CLIENTES");
    CreateField("CLIENTES", "COD", 1);
    Add(ckAddPassword, {"CLIENTES", ""});
    const auto lines = script.CommandTexts();
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], "Create table ->  CLIENTES");
    EXPECT_EQ(lines[1], "Create field ->  CLIENTES COD 1 257 10 10 ");
    EXPECT_EQ(lines[2], "Add password ->  CLIENTES ");
}

TEST_F(BuilderTest, DeleteCommandReleasesAndKeepsLookUpsRight)
{
    CreateTable("A");
    CreateTable("B");
    CreateField("B", "X", 1);
    script.DeleteCommand(0);
    script.DeleteCommand(9);
    EXPECT_EQ(Kinds(), (std::vector<int>{ckCreateTable, ckCreateField}));
    EXPECT_EQ(script.FindTableCommand("B"), 0);
    EXPECT_EQ(script.FindTableCommand("A"), -1);
    EXPECT_EQ(script.FindFieldCommand(*MakeCommand(ckDeleteField, {"B", "X"}), "x"), 1);
}

} // namespace
} // namespace morvane::test
