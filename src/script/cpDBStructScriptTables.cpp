// TvxDBScript: the source and target database commands and the table commands.

#include "script/cpDBStructScript.h"
#include "script/TvxScriptTableList.h"

#include <algorithm>

namespace morvane {

TvxApplyResult TvxDBScript::ApplyAddAlias(std::unique_ptr<TvxCommand>& command)
{
    const int pos = FindFirstOfKind(ckAddAlias);
    if (pos < 0)
        return TvxApplyResult::Append;
    Commands()[static_cast<std::size_t>(pos)] = std::move(command);
    index_.Touched(Commands());
    return TvxApplyResult::Done;
}

TvxApplyResult TvxDBScript::ApplyAddNewAlias(std::unique_ptr<TvxCommand>& command)
{
    const int pos = FindFirstOfKind(ckAddNewAlias);
    if (command->ParamCount() > 0) {
        if (pos < 0) {
            Commands().insert(Commands().begin(), std::move(command));
            index_.Invalidate();
        } else {
            Commands()[static_cast<std::size_t>(pos)] = std::move(command);
            index_.Touched(Commands());
        }
    } else if (pos >= 0) {
        RemoveAt(pos);
    }
    return TvxApplyResult::Done;
}

TvxApplyResult TvxDBScript::ApplyCreateTable(TvxCommand& command, std::unique_ptr<TvxTableDesc>& desc)
{
    const std::string name = command.ParamText(CreateTableParam::Table);
    if (FindTableCommand(name) >= 0)
        return TvxApplyResult::Done;
    TvxScriptTableList* list = ScriptTableList();
    if (!list)
        return TvxApplyResult::Append;
    list->SelectIndex(list->AddNewTable(name, std::move(desc)));
    return TvxApplyResult::Append;
}

TvxApplyResult TvxDBScript::ApplyAddTable(TvxCommand& command, std::unique_ptr<TvxTableDesc>& desc)
{
    command.AddValues({desc->TableName()});
    static_assert(AddTableParam::Table == CreateTableParam::Table &&
                  AddTableParam::SourceTable == AddTableParam::Supplied);
    const TvxApplyResult result = ApplyCreateTable(command, desc);
    if (result == TvxApplyResult::Append && ScriptTableList())
        ScriptTableList()->RefreshFields();
    return result;
}

bool TvxDBScript::RenameClashes(const TvxCommand& command) const
{
    const int pos = FindTableCommand(command.ParamText(ChangeTableParam::NewName));
    // The table's own command may be found when only the letter case changes.
    return pos >= 0 && Command(pos)->ParamText(CreateTableParam::Table) != command.ParamText(ChangeTableParam::OldName);
}

TvxApplyResult TvxDBScript::ApplyChangeTable(TvxCommand& command)
{
    const std::string oldName = command.ParamText(ChangeTableParam::OldName);
    const std::string newName = command.ParamText(ChangeTableParam::NewName);
    for (auto& c : Commands()) {
        const int tableParam = TableParamOf(c->Kind());
        if (c->ParamCount() > tableParam && c->ParamText(tableParam) == oldName)
            c->SetParamValue(tableParam, newName);
    }
    index_.Invalidate();
    if (TvxScriptTableList* list = ScriptTableList())
        list->RenameSelected(newName);
    return TvxApplyResult::Done;
}

TvxApplyResult TvxDBScript::ApplyDeleteTable(TvxCommand& command)
{
    const std::string name = command.ParamText(DeleteTableParam::Table);
    auto& commands = Commands();
    commands.erase(std::remove_if(commands.begin(), commands.end(),
                                  [&](const std::unique_ptr<TvxCommand>& c) {
                                      switch (c->Kind()) {
                                      case ckCreateTable:
                                      case ckAddTable:
                                      case ckCreateField:
                                      case ckChangeField:
                                      case ckDeleteField:
                                      case ckMoveField:
                                          return c->ParamText(TableParamOf(c->Kind())) == name;
                                      default:
                                          return false;
                                      }
                                  }),
                   commands.end());
    index_.Invalidate();

    TvxScriptTableList* list = ScriptTableList();
    if (!list)
        return TvxApplyResult::Done;
    // The editor deletes the selected table; should the selection name another table, the
    // entry of the deleted table goes all the same and the selection stays.
    int entry = list->ItemIndex();
    if (entry < 0 || list->NameAt(entry) != name) {
        entry = -1;
        for (int i = 0; i < list->Count(); ++i)
            if (list->NameAt(i) == name) {
                entry = i;
                break;
            }
    }
    if (entry < 0)
        return TvxApplyResult::Done;
    if (entry == list->ItemIndex() && entry == list->Count() - 1)
        list->SelectIndex(list->Count() - 2);
    list->DeleteTable(entry);
    return TvxApplyResult::Done;
}

} // namespace morvane
