// TvxDBScript: the field commands, their look-ups and the renumbering of recorded fields.

#include "script/cpDBStructScript.h"
#include "script/TvxScriptTableList.h"
#include "script/vxNameCompare.h"

namespace morvane {

namespace {

// Parameter comparisons without copying a string parameter's text.
bool ParamUpperEqual(const TvxCommand& c, int i, std::string_view text)
{
    const TvxParameter* p = c.Param(i);
    if (p && p->IsString())
        return UpperCaseEqual(std::get<std::string>(p->Value()), text);
    return UpperCaseEqual(c.ParamText(i), text);
}

bool ParamExactlyEqual(const TvxCommand& c, int i, std::string_view text)
{
    const TvxParameter* p = c.Param(i);
    if (p && p->IsString())
        return std::get<std::string>(p->Value()) == text;
    return c.ParamText(i) == text;
}

} // namespace

int TvxDBScript::FindFieldCommand(const TvxCommand& command, std::string_view fieldName) const
{
    // The table the command names first: for a Move field its source table.
    static_assert(MoveFieldParam::SourceTable == CreateFieldParam::Table);
    return FindFieldCommandOf(command.ParamText(CreateFieldParam::Table), fieldName);
}

int TvxDBScript::FindFieldCommandOf(std::string_view table, std::string_view fieldName) const
{
    for (int pos : Index().FieldCommands(table)) {
        const TvxCommand* c = Command(pos);
        if (!c)
            continue;
        const int block = CurrentFieldBlockOf(c->Kind());
        if (block >= 0 && ParamUpperEqual(*c, TableParamOf(c->Kind()), table) &&
            ParamUpperEqual(*c, block + FieldBlockItem::Name, fieldName))
            return pos;
    }
    return -1;
}

bool TvxDBScript::FieldNameInUse(const TvxCommand& command, std::string_view name) const
{
    return FindFieldCommand(command, name) >= 0 || FindFieldInSelectedTable(name) >= 0;
}

bool TvxDBScript::SelectedTableFull() const
{
    const TvxScriptTableList* list = ScriptTableList();
    return list && list->SelectedTable() && list->FieldCount() >= TvxTableDesc::MaxFields;
}

int TvxDBScript::FindFieldInSelectedTable(std::string_view name) const
{
    const TvxScriptTableList* list = ScriptTableList();
    if (!list || Index().AddTableCount() == 0)
        return -1;
    const auto fields = list->Fields();
    for (std::size_t i = 0; i < fields.size(); ++i)
        if (UpperCaseEqual(fields[i].name(), name))
            return static_cast<int>(i);
    return -1;
}

void TvxDBScript::RenumberFields(std::string_view table, int from, int delta)
{
    for (int pos : Index().FieldCommands(table)) {
        TvxCommand* c = Command(pos);
        if (!c)
            continue;
        const int block = CurrentFieldBlockOf(c->Kind());
        if (block < 0 || !ParamExactlyEqual(*c, TableParamOf(c->Kind()), table))
            continue;
        const int numberParam = block + FieldBlockItem::Number;
        const std::int32_t number = c->ParamInteger(numberParam);
        if (number >= from)
            c->SetParamValue(numberParam, number + delta);
    }
}

int TvxDBScript::InsertedFieldNumber(const TvxFieldDesc& field) const
{
    const TvxScriptTableList* list = ScriptTableList();
    const int pos = list ? list->InsertionPos() : -1;
    return pos >= 0 ? pos + 1 : field.fieldNumber();
}

int TvxDBScript::ChangedFieldNumber(const TvxFieldDesc& field) const
{
    const TvxScriptTableList* list = ScriptTableList();
    return list && list->CurrentField() ? list->CurrentFieldPos() + 1 : field.fieldNumber();
}

namespace {

TvxFieldDesc Numbered(TvxFieldDesc field, int number)
{
    field.setFieldNumber(number);
    return field;
}

} // namespace

// The number recorded for a field that a command creates, changes or moves is the position it
// takes in the new table (+ 1), and the table's record of it is the one the command's block
// gives: replaying the saved commands rebuilds the very same table.

TvxApplyResult TvxDBScript::ApplyCreateField(TvxCommand& command, const TvxFieldDesc& field, const TvxValue& newValue)
{
    if (FieldNameInUse(command, field.name()))
        return TvxApplyResult::NameInUse;
    if (SelectedTableFull())
        return TvxApplyResult::TableFull;
    const int number = InsertedFieldNumber(field);
    RenumberFields(command.ParamText(CreateFieldParam::Table), number, +1);
    command.AddFieldBlock(Numbered(field, number));
    command.AddValues({newValue});
    if (TvxScriptTableList* list = ScriptTableList())
        list->InsertField(FieldFromBlock(command, CreateFieldParam::Field));
    return TvxApplyResult::Append;
}

TvxApplyResult TvxDBScript::ApplyChangeField(TvxCommand& command, const TvxFieldDesc& oldField,
                                             const TvxFieldDesc& newField)
{
    // A new name must be free in the table, also for a field with no earlier command (one of an
    // added table): the table would otherwise end up with two fields of one name. A change of
    // letter case only is no new name (the earlier command and the table's field are this very
    // field).
    const std::string newName = newField.name();
    if (!UpperCaseEqual(oldField.name(), newName) && FieldNameInUse(command, newName))
        return TvxApplyResult::NameInUse;
    const TvxFieldDesc changed = Numbered(newField, ChangedFieldNumber(newField));
    const int pos = FindFieldCommand(command, oldField.name());
    TvxCommand& recorded = pos < 0 ? command : *Command(pos);
    int block = ChangeFieldParam::NewField;
    if (pos < 0) {
        command.AddFieldBlock(oldField);
        command.AddFieldBlock(changed);
    } else {
        block = CurrentFieldBlockOf(recorded.Kind());
        recorded.SetFieldBlock(block, changed);
    }
    if (TvxScriptTableList* list = ScriptTableList())
        list->ChangeField(FieldFromBlock(recorded, block));
    return pos < 0 ? TvxApplyResult::Append : TvxApplyResult::Done;
}

TvxApplyResult TvxDBScript::ApplyDeleteField(TvxCommand& command)
{
    const std::string table = command.ParamText(DeleteFieldParam::Table);
    const std::string name = command.ParamText(DeleteFieldParam::FieldName);
    const int pos = FindFieldCommand(command, name);
    if (pos < 0) {
        // A field of an added table that no command touched yet: the fields after it move up.
        const int at = FindFieldInSelectedTable(name);
        if (at < 0)
            return TvxApplyResult::Done;
        RenumberFields(table, at + 1, -1);
        if (TvxScriptTableList* list = ScriptTableList())
            list->DeleteField(name);
        return TvxApplyResult::Append;
    }
    TvxCommand& earlier = *Command(pos);
    const std::int32_t number = earlier.ParamInteger(CurrentFieldBlockOf(earlier.Kind()) + FieldBlockItem::Number);
    if (earlier.Kind() == ckChangeField) {
        // The field is deleted under its old name: table and old name stay.
        static_assert(ChangeFieldParam::Table == DeleteFieldParam::Table &&
                      ChangeFieldParam::OldName == DeleteFieldParam::FieldName);
        earlier.SetKind(ckDeleteField);
        earlier.TruncateParams(DeleteFieldParam::Count);
    } else {
        RemoveAt(pos); // creation (or move) and deletion cancel out
    }
    RenumberFields(table, number, -1);
    if (TvxScriptTableList* list = ScriptTableList())
        list->DeleteField(name);
    return TvxApplyResult::Done;
}

TvxApplyResult TvxDBScript::ApplyMoveField(TvxCommand& command, const TvxFieldDesc& source, const TvxFieldDesc& target)
{
    if (FieldNameInUse(command, source.name()))
        return TvxApplyResult::NameInUse;
    // The field arrives in the target table under the target descriptor's name, which the
    // field dialog may have changed: that name must be free there too.
    const std::string targetTable = command.ParamText(MoveFieldParam::TargetTable);
    const std::string targetName = target.name();
    if (FindFieldCommandOf(targetTable, targetName) >= 0 || FindFieldInSelectedTable(targetName) >= 0)
        return TvxApplyResult::NameInUse;
    if (SelectedTableFull())
        return TvxApplyResult::TableFull;
    const int number = InsertedFieldNumber(target);
    RenumberFields(targetTable, number, +1);
    command.AddFieldBlock(source);
    command.AddFieldBlock(Numbered(target, number));
    if (TvxScriptTableList* list = ScriptTableList())
        list->InsertField(FieldFromBlock(command, MoveFieldParam::TargetField));
    return TvxApplyResult::Append;
}

} // namespace morvane
