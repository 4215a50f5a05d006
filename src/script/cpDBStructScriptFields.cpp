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
    return FindFieldCommandOf(command.ParamText(0), fieldName);
}

int TvxDBScript::FindFieldCommandOf(std::string_view table, std::string_view fieldName) const
{
    for (int pos : Index().FieldCommands(table)) {
        const TvxCommand* c = Command(pos);
        if (!c)
            continue;
        switch (c->Kind()) {
        case ckCreateField:
            if (ParamUpperEqual(*c, 0, table) && ParamUpperEqual(*c, 1, fieldName))
                return pos;
            break;
        case ckChangeField:
            if (ParamUpperEqual(*c, 0, table) && ParamUpperEqual(*c, 6, fieldName))
                return pos;
            break;
        case ckMoveField:
            if (ParamUpperEqual(*c, 1, table) && ParamUpperEqual(*c, 7, fieldName))
                return pos;
            break;
        default: break;
        }
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
        int tableParam = 0;
        int numberParam = 0;
        switch (c->Kind()) {
        case ckCreateField: numberParam = 2; break;
        case ckChangeField: numberParam = 7; break;
        case ckMoveField: tableParam = 1; numberParam = 8; break;
        default: continue;
        }
        if (!ParamExactlyEqual(*c, tableParam, table))
            continue;
        const std::int32_t number = c->ParamInteger(numberParam);
        if (number >= from)
            c->SetParamValue(numberParam, number + delta);
    }
}

int TvxDBScript::ApplyCreateField(TvxCommand& command, const TvxFieldDesc& field, const TvxValue& newValue)
{
    if (FieldNameInUse(command, field.name()))
        return vxNameInUse;
    if (SelectedTableFull())
        return vxErrFieldPosOut;
    if (TvxScriptTableList* list = ScriptTableList())
        list->InsertField(field);
    RenumberFields(command.ParamText(0), field.fieldNumber(), +1);
    command.AddFieldBlock(field);
    command.AddValues({newValue});
    return vxAppend;
}

int TvxDBScript::ApplyChangeField(TvxCommand& command, const TvxFieldDesc& oldField, const TvxFieldDesc& newField)
{
    // A new name must be free in the table, also for a field with no earlier command (one of an
    // added table): the table would otherwise end up with two fields of one name. A change of
    // letter case only is no new name (the earlier command and the table's field are this very
    // field).
    const std::string newName = newField.name();
    if (!UpperCaseEqual(oldField.name(), newName) && FieldNameInUse(command, newName))
        return vxNameInUse;
    const int pos = FindFieldCommand(command, oldField.name());
    if (pos < 0) {
        command.AddFieldBlock(oldField);
        command.AddFieldBlock(newField);
        if (TvxScriptTableList* list = ScriptTableList())
            list->ChangeField(newField);
        return vxAppend;
    }
    TvxCommand& earlier = *Command(pos);
    switch (earlier.Kind()) {
    case ckCreateField: earlier.SetFieldBlock(1, newField); break;
    case ckChangeField: earlier.SetFieldBlock(6, newField); break;
    case ckMoveField: earlier.SetFieldBlock(7, newField); break;
    default: break;
    }
    if (TvxScriptTableList* list = ScriptTableList())
        list->ChangeField(newField);
    return vxDone;
}

int TvxDBScript::ApplyDeleteField(TvxCommand& command)
{
    const std::string name = command.ParamText(1);
    const int pos = FindFieldCommand(command, name);
    if (pos < 0) {
        if (FindFieldInSelectedTable(name) < 0)
            return vxDone;
        if (TvxScriptTableList* list = ScriptTableList())
            list->DeleteField(name);
        return vxAppend;
    }
    TvxCommand& earlier = *Command(pos);
    std::int32_t number = 0;
    switch (earlier.Kind()) {
    case ckChangeField:
        number = earlier.ParamInteger(7);
        earlier.SetKind(ckDeleteField);
        earlier.TruncateParams(2);
        break;
    case ckCreateField:
        number = earlier.ParamInteger(2);
        RemoveAt(pos);
        break;
    default: // Move field
        number = earlier.ParamInteger(8);
        RemoveAt(pos);
        break;
    }
    RenumberFields(command.ParamText(0), number, -1);
    if (TvxScriptTableList* list = ScriptTableList())
        list->DeleteField(name);
    return vxDone;
}

int TvxDBScript::ApplyMoveField(TvxCommand& command, const TvxFieldDesc& source, const TvxFieldDesc& target)
{
    if (FieldNameInUse(command, source.name()))
        return vxNameInUse;
    // The field arrives in the target table under the target descriptor's name, which the
    // field dialog may have changed: that name must be free there too.
    const std::string targetTable = command.ParamText(1);
    const std::string targetName = target.name();
    if (FindFieldCommandOf(targetTable, targetName) >= 0 || FindFieldInSelectedTable(targetName) >= 0)
        return vxNameInUse;
    if (SelectedTableFull())
        return vxErrFieldPosOut;
    RenumberFields(command.ParamText(1), target.fieldNumber(), +1);
    command.AddFieldBlock(source);
    command.AddFieldBlock(target);
    if (TvxScriptTableList* list = ScriptTableList())
        list->InsertField(target);
    return vxAppend;
}

} // namespace morvane
