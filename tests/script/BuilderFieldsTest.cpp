// The builder's field commands: the name-in-use check, folding changes and deletions into the
// earlier command of the same field, and keeping recorded field numbers in step.

#include "BuilderFixture.h"

namespace morvane::test {
namespace {

std::vector<int> Numbers(const TvxDBScript& script, int kind, int param)
{
    std::vector<int> numbers;
    for (int i = 0; i < script.Count(); ++i)
        if (script.Command(i)->Kind() == kind)
            numbers.push_back(script.Command(i)->ParamInteger(param));
    return numbers;
}

// ---- Name in use (code 2) ------------------------------------------------------------------

TEST_F(BuilderTest, CreateFieldWithANameRecordedInTheTableIsRejected)
{
    CreateTable("CLI");
    CreateField("CLI", "Nome", 1);
    CreateTable("PED");
    list.SelectIndex(0);

    auto command = MakeCommand(ckCreateField, {"cli"});
    EXPECT_EQ(script.AddCommand(command, TvxCommandExtras::ForCreateField(MakeField("NOME", 2), "")),
              vxErrFieldNameInUse);
    ASSERT_NE(command, nullptr); // still the caller's, untouched
    EXPECT_EQ(command->ParamCount(), 1);
    EXPECT_EQ(script.Count(), 3);
    EXPECT_EQ(FieldNames(0), std::vector<std::string>{"Nome"});

    list.SelectIndex(1);
    EXPECT_EQ(CreateField("PED", "NOME", 1), 0); // another table
}

TEST_F(BuilderTest, NamesOfTheSelectedTableCountOnlyOnceATableWasAdded)
{
    CreateTable("CLI");
    list.SelectedTable()->SetFields({MakeField("ANTIGO", 1)}); // not recorded by any command
    EXPECT_EQ(script.FindFieldInSelectedTable("antigo"), -1);
    EXPECT_EQ(CreateField("CLI", "ANTIGO", 2), 0);

    AddTable("PED", SourceTable("PEDIDOS", {"COD", "DATA"}));
    EXPECT_EQ(script.FindFieldInSelectedTable("data"), 1);
    EXPECT_EQ(CreateField("PED", "Data", 3), vxErrFieldNameInUse);
    EXPECT_EQ(Add(ckMoveField, {"PED", "PED"}, TvxCommandExtras::ForFields(MakeField("COD", 1), MakeField("COD", 3))),
              vxErrFieldNameInUse);
    EXPECT_EQ(FieldNames(1), (std::vector<std::string>{"COD", "DATA"}));
}

TEST_F(BuilderTest, ChangeFieldToANameInUseIsRejectedButACaseChangeIsNot)
{
    CreateTable("CLI");
    CreateField("CLI", "A", 1);
    CreateField("CLI", "B", 2);
    list.SetCurrentFieldPos(1);
    EXPECT_EQ(ChangeField("CLI", MakeField("B", 2), MakeField("a", 2)), vxErrFieldNameInUse);
    EXPECT_EQ(script.Command(2)->ParamText(CreateFieldParam::FieldName), "B");
    EXPECT_EQ(ChangeField("CLI", MakeField("B", 2), MakeField("b", 2)), 0);
    EXPECT_EQ(script.Command(2)->ParamText(CreateFieldParam::FieldName), "b");
    EXPECT_EQ(FieldNames(0), (std::vector<std::string>{"A", "b"}));
}

TEST_F(BuilderTest, ChangeOfAnAddedTablesFieldToANameInUseIsRejected)
{
    AddTable("CLI", SourceTable("CLIENTES", {"COD", "NOME"}));
    list.SetCurrentFieldPos(1);
    EXPECT_EQ(ChangeField("CLI", MakeField("NOME", 2), MakeField("cod", 2)), vxErrFieldNameInUse);
    EXPECT_EQ(Kinds(), std::vector<int>{ckAddTable});
    EXPECT_EQ(FieldNames(0), (std::vector<std::string>{"COD", "NOME"}));

    EXPECT_EQ(ChangeField("CLI", MakeField("NOME", 2), MakeField("Nome", 2)), 0); // its own name
    EXPECT_EQ(ChangeField("CLI", MakeField("COD", 1), MakeField("NOME", 1)), vxErrFieldNameInUse);
    EXPECT_EQ(FieldNames(0), (std::vector<std::string>{"COD", "Nome"}));
}

TEST_F(BuilderTest, MoveFieldUnderANameInUseInTheTargetIsRejected)
{
    CreateTable("NOVA");
    CreateField("NOVA", "A", 1);
    // The source field is free in the target, the name the dialog gave it is not.
    EXPECT_EQ(Add(ckMoveField, {"VELHA", "NOVA"}, TvxCommandExtras::ForFields(MakeField("X", 4), MakeField("a", 2))),
              vxErrFieldNameInUse);
    AddTable("PED", SourceTable("PEDIDOS", {"COD"}));
    EXPECT_EQ(Add(ckMoveField, {"VELHA", "PED"}, TvxCommandExtras::ForFields(MakeField("X", 4), MakeField("Cod", 2))),
              vxErrFieldNameInUse);
    EXPECT_EQ(Kinds(), (std::vector<int>{ckCreateTable, ckCreateField, ckAddTable}));
    EXPECT_EQ(FieldNames(0), std::vector<std::string>{"A"});
    EXPECT_EQ(FieldNames(1), std::vector<std::string>{"COD"});
}

TEST_F(BuilderTest, FieldsAddedToAFullTableAreRefusedAndNothingIsRecorded)
{
    CreateTable("T");
    std::vector<TvxFieldDesc> fields;
    for (int i = 1; i <= TvxTableDesc::MaxFields; ++i)
        fields.push_back(MakeField(std::to_string(i), i));
    list.SelectedTable()->SetFields(fields);
    EXPECT_EQ(CreateField("T", "NOVO", 257), vxErrFieldPosOut);
    EXPECT_EQ(Add(ckMoveField, {"VELHA", "T"}, TvxCommandExtras::ForFields(MakeField("X", 1), MakeField("X", 257))),
              vxErrFieldPosOut);
    EXPECT_EQ(Kinds(), std::vector<int>{ckCreateTable});
    EXPECT_EQ(list.FieldCount(), TvxTableDesc::MaxFields);
}

// ---- Change folded into the earlier command ------------------------------------------------

TEST_F(BuilderTest, ChangeFieldTwiceLeavesOneChangeWithTheLatestNewBlock)
{
    AddTable("CLI", SourceTable("CLIENTES", {"COD", "NOME"}));
    list.SetCurrentFieldPos(1);
    EXPECT_EQ(ChangeField("CLI", MakeField("NOME", 2), MakeField("NOME2", 2, 257, 20)), 0);
    EXPECT_EQ(ChangeField("CLI", MakeField("NOME2", 2, 257, 20), MakeField("NOME3", 2, 257, 30)), 0);

    ASSERT_EQ(Kinds(), (std::vector<int>{ckAddTable, ckChangeField}));
    const TvxCommand& change = *script.Command(1);
    ASSERT_EQ(change.ParamCount(), 11);
    EXPECT_EQ(change.ParamText(ChangeFieldParam::OldName), "NOME"); // the old block stays
    EXPECT_EQ(change.ParamInteger(ChangeFieldParam::OldField + FieldBlockItem::Size), 10);
    EXPECT_EQ(change.ParamText(ChangeFieldParam::NewName), "NOME3");
    EXPECT_EQ(change.ParamInteger(ChangeFieldParam::NewField + FieldBlockItem::Size), 30);
    EXPECT_EQ(FieldNames(0), (std::vector<std::string>{"COD", "NOME3"}));
    EXPECT_EQ(announced.size(), 2u);
}

TEST_F(BuilderTest, ChangeOfACreatedFieldUpdatesTheCreateAndKeepsItsNewValue)
{
    CreateTable("CLI");
    CreateField("CLI", "A", 1, "valor");
    list.SetCurrentFieldPos(0);
    EXPECT_EQ(ChangeField("CLI", MakeField("A", 1), MakeField("A2", 1, 257, 40)), 0);
    ASSERT_EQ(Kinds(), (std::vector<int>{ckCreateTable, ckCreateField}));
    const TvxCommand& create = *script.Command(1);
    EXPECT_EQ(create.ParamText(CreateFieldParam::FieldName), "A2");
    EXPECT_EQ(create.ParamInteger(CreateFieldParam::Field + FieldBlockItem::Size), 40);
    EXPECT_EQ(create.ParamText(CreateFieldParam::NewValue), "valor");
    EXPECT_EQ(script.NewValueOf("CLI", "a2"), "valor");
}

TEST_F(BuilderTest, ChangeOfAMovedFieldUpdatesTheTargetBlock)
{
    CreateTable("NOVA");
    Add(ckMoveField, {"VELHA", "NOVA"}, TvxCommandExtras::ForFields(MakeField("X", 4), MakeField("X", 1)));
    list.SetCurrentFieldPos(0);
    // The changed field belongs to NOVA; the Move field is found through its target table.
    EXPECT_EQ(ChangeField("NOVA", MakeField("X", 1), MakeField("Y", 1)), 0);
    ASSERT_EQ(script.Count(), 2);
    EXPECT_EQ(script.Command(1)->ParamText(MoveFieldParam::SourceName), "X");
    EXPECT_EQ(script.Command(1)->ParamText(MoveFieldParam::TargetName), "Y");
}

TEST_F(BuilderTest, FindFieldCommandOfAMoveFieldUsesItsSourceTable)
{
    CreateTable("NOVA");
    CreateField("NOVA", "F", 1);
    TvxCommand moveFromNova(ckMoveField, {std::string("NOVA"), std::string("OUTRA")});
    TvxCommand moveFromVelha(ckMoveField, {std::string("VELHA"), std::string("NOVA")});
    EXPECT_EQ(script.FindFieldCommand(moveFromNova, "f"), 1);
    EXPECT_EQ(script.FindFieldCommand(moveFromVelha, "f"), -1);
}

// ---- Delete folded into the earlier command ------------------------------------------------

TEST_F(BuilderTest, CreateThenDeleteCancelOutAndLaterNumbersGoDown)
{
    CreateTable("T");
    CreateField("T", "A", 1);
    CreateField("T", "X", 2);
    CreateField("T", "C", 3);
    Add(ckMoveField, {"S", "T"}, TvxCommandExtras::ForFields(MakeField("M", 7), MakeField("M", 4)));
    const auto announcedBefore = announced.size();

    EXPECT_EQ(DeleteField("T", "x"), 0);
    EXPECT_EQ(Kinds(), (std::vector<int>{ckCreateTable, ckCreateField, ckCreateField, ckMoveField}));
    EXPECT_EQ(Numbers(script, ckCreateField, CreateFieldParam::FieldNumber), (std::vector<int>{1, 2}));
    EXPECT_EQ(Numbers(script, ckMoveField, MoveFieldParam::TargetNumber), std::vector<int>{3});
    EXPECT_EQ(Numbers(script, ckMoveField, MoveFieldParam::SourceNumber),
              std::vector<int>{7}); // source number untouched
    EXPECT_EQ(FieldNames(0), (std::vector<std::string>{"A", "C", "M"}));
    EXPECT_EQ(announced.size(), announcedBefore);
}

TEST_F(BuilderTest, ChangeThenDeleteLeavesOneDeleteWithTheOldName)
{
    AddTable("CLI", SourceTable("CLIENTES", {"COD", "NOME", "FONE"}));
    CreateField("CLI", "EXTRA", 4);
    list.SetCurrentFieldPos(1);
    ChangeField("CLI", MakeField("NOME", 2), MakeField("NOMECOMPLETO", 2));

    EXPECT_EQ(DeleteField("CLI", "NOMECOMPLETO"), 0);
    ASSERT_EQ(Kinds(), (std::vector<int>{ckAddTable, ckCreateField, ckDeleteField}));
    const TvxCommand& del = *script.Command(2);
    EXPECT_EQ(del.ParamCount(), 2);
    EXPECT_EQ(del.ParamText(DeleteFieldParam::Table), "CLI");
    EXPECT_EQ(del.ParamText(DeleteFieldParam::FieldName), "NOME");
    EXPECT_EQ(Numbers(script, ckCreateField, CreateFieldParam::FieldNumber), std::vector<int>{3});
    EXPECT_EQ(FieldNames(0), (std::vector<std::string>{"COD", "FONE", "EXTRA"}));
}

TEST_F(BuilderTest, MoveThenDeleteCancelOut)
{
    CreateTable("NOVA");
    Add(ckMoveField, {"VELHA", "NOVA"}, TvxCommandExtras::ForFields(MakeField("X", 4), MakeField("X", 1)));
    EXPECT_EQ(DeleteField("NOVA", "X"), 0);
    EXPECT_EQ(Kinds(), std::vector<int>{ckCreateTable});
    EXPECT_TRUE(FieldNames(0).empty());
}

TEST_F(BuilderTest, DeleteOfAFieldOfAnAddedTableIsRecorded)
{
    AddTable("CLI", SourceTable("CLIENTES", {"COD", "NOME"}));
    EXPECT_EQ(DeleteField("CLI", "cod"), 0);
    EXPECT_EQ(Kinds(), (std::vector<int>{ckAddTable, ckDeleteField}));
    EXPECT_EQ(FieldNames(0), std::vector<std::string>{"NOME"});
    EXPECT_EQ(announced.size(), 2u);
}

TEST_F(BuilderTest, DeleteOfAnUnknownFieldIsIgnored)
{
    CreateTable("CLI");
    CreateField("CLI", "A", 1);
    EXPECT_EQ(DeleteField("CLI", "ZZZ"), 0);
    AddTable("PED", SourceTable("PEDIDOS", {"COD"}));
    EXPECT_EQ(DeleteField("PED", "ZZZ"), 0);
    EXPECT_EQ(Kinds(), (std::vector<int>{ckCreateTable, ckCreateField, ckAddTable}));
}

// ---- Renumbering ---------------------------------------------------------------------------

// Deleting a field of an added table that no command touched moves the numbers recorded after
// it up, as every other deletion does.
TEST_F(BuilderTest, DeletingAnUntouchedFieldOfAnAddedTableRenumbersTheFieldsAfterIt)
{
    AddTable("T", SourceTable("T", {"X", "Y", "Q"}));
    list.SetCurrentFieldPos(1); // grid row 2
    ASSERT_EQ(CreateField("T", "Z", 2), 0);
    ASSERT_EQ(DeleteField("T", "X"), 0);
    list.SetCurrentFieldPos(0); // grid row 1
    ASSERT_EQ(CreateField("T", "W", 1), 0);

    EXPECT_EQ(FieldNames(0), (std::vector<std::string>{"W", "Z", "Y", "Q"}));
    EXPECT_EQ(Numbers(script, ckCreateField, CreateFieldParam::FieldNumber), (std::vector<int>{2, 1}));
    EXPECT_EQ(RecordedNumbersMismatch(script, list), "");
}

// The number recorded for a created, moved or changed field is the position where the table
// list puts it, whatever number the descriptor handed in says.
TEST_F(BuilderTest, RecordedNumbersAreThePositionsInTheTable)
{
    CreateTable("T");
    ASSERT_EQ(CreateField("T", "A", 7), 0); // appended: field 1
    list.SetCurrentFieldPos(0);
    ASSERT_EQ(CreateField("T", "B", 0), 0); // the title row's number, inserted first
    list.SetCurrentFieldPos(1);
    ASSERT_EQ(Add(ckMoveField, {"S", "T"}, TvxCommandExtras::ForFields(MakeField("M", 4), MakeField("M", 9))), 0);
    list.SetCurrentFieldPos(2);
    ASSERT_EQ(ChangeField("T", MakeField("A", 3), MakeField("A2", 5)), 0);

    EXPECT_EQ(FieldNames(0), (std::vector<std::string>{"B", "M", "A2"}));
    EXPECT_EQ(RecordedNumbersMismatch(script, list), "");
    for (int i = 0; i < list.FieldCount(); ++i)
        EXPECT_EQ(list.Fields()[static_cast<std::size_t>(i)].fieldNumber(), i + 1);
}

// Without a table list the numbers are the descriptors' own.
TEST_F(BuilderTest, CreateFieldShiftsRecordedNumbersFromItsOwnOn)
{
    script.SetScriptTableList(nullptr);
    CreateTable("T");
    CreateField("T", "A", 2);
    CreateField("T", "B", 3);
    CreateField("T", "C", 5);
    CreateTable("U");
    CreateField("U", "D", 3);
    Add(ckCreateField, {"t"}, TvxCommandExtras::ForCreateField(MakeField("E", 4), ""));

    EXPECT_EQ(CreateField("T", "N", 3), 0);
    EXPECT_EQ(Numbers(script, ckCreateField, CreateFieldParam::FieldNumber), (std::vector<int>{2, 4, 6, 3, 4, 3}));
}

TEST_F(BuilderTest, RenumberFieldsTouchesOnlyTheCurrentNumbers)
{
    script.SetScriptTableList(nullptr);
    CreateTable("T");
    AddTable("S", SourceTable("S", {"K", "V"}));
    Add(ckChangeField, {"T"}, TvxCommandExtras::ForFields(MakeField("P", 5), MakeField("Q", 6)));
    Add(ckMoveField, {"S", "T"}, TvxCommandExtras::ForFields(MakeField("V", 2), MakeField("V", 7)));
    script.RenumberFields("T", 6, 10);
    const TvxCommand& change = *script.Command(2);
    EXPECT_EQ(change.ParamInteger(ChangeFieldParam::OldNumber), 5);
    EXPECT_EQ(change.ParamInteger(ChangeFieldParam::NewNumber), 16);
    const TvxCommand& move = *script.Command(3);
    EXPECT_EQ(move.ParamInteger(MoveFieldParam::SourceNumber), 2);
    EXPECT_EQ(move.ParamInteger(MoveFieldParam::TargetNumber), 17);
    script.RenumberFields("t", 0, 100); // exact table names only
    EXPECT_EQ(change.ParamInteger(ChangeFieldParam::NewNumber), 16);
}

TEST_F(BuilderTest, MoveFieldRecordsBothBlocksAndShiftsTheTargetTable)
{
    CreateTable("NOVA");
    CreateField("NOVA", "A", 1);
    CreateField("NOVA", "B", 2);
    list.SetCurrentFieldPos(1);
    EXPECT_EQ(Add(ckMoveField, {"VELHA", "NOVA"}, TvxCommandExtras::ForFields(MakeField("X", 9), MakeField("X", 2))),
              0);
    ASSERT_EQ(script.Count(), 4);
    const TvxCommand& move = *script.Command(3);
    ASSERT_EQ(move.ParamCount(), 12);
    EXPECT_EQ(move.ParamText(MoveFieldParam::SourceName), "X");
    EXPECT_EQ(move.ParamInteger(MoveFieldParam::SourceNumber), 9);
    EXPECT_EQ(move.ParamInteger(MoveFieldParam::TargetNumber), 2);
    EXPECT_EQ(Numbers(script, ckCreateField, CreateFieldParam::FieldNumber), (std::vector<int>{1, 3}));
    EXPECT_EQ(FieldNames(0), (std::vector<std::string>{"A", "X", "B"}));
}

TEST_F(BuilderTest, BcdSizeIsRecordedFromTheSecondUnitCount)
{
    CreateTable("T");
    TvxFieldDesc bcd = MakeField("VALOR", 1, 273, 10);
    bcd.setUnits2(2);
    bcd.setLength(17);
    Add(ckCreateField, {"T"}, TvxCommandExtras::ForCreateField(bcd, ""));
    EXPECT_EQ(script.Command(1)->ParamInteger(CreateFieldParam::Field + FieldBlockItem::Size), 2);
    EXPECT_EQ(script.Command(1)->ParamInteger(CreateFieldParam::Field + FieldBlockItem::Length), 17);
}

} // namespace
} // namespace morvane::test
