#include "script/cpDBStructScript.h"

#include "script/TvxScriptTableList.h"
#include "script/vxCommandText.h"
#include "script/vxNameCompare.h"
#include "script/vxScriptLimits.h"

#include <algorithm>
#include <iterator>
#include <stdexcept>

namespace morvane {

TvxCommandExtras TvxCommandExtras::ForAddTable(std::unique_ptr<TvxTableDesc> desc)
{
    TvxCommandExtras extras;
    extras.table = std::move(desc);
    return extras;
}

TvxCommandExtras TvxCommandExtras::ForCreateField(const TvxFieldDesc& field, TvxValue newValue)
{
    TvxCommandExtras extras;
    extras.field1 = field;
    extras.newValue = std::move(newValue);
    return extras;
}

TvxCommandExtras TvxCommandExtras::ForFields(const TvxFieldDesc& first, const TvxFieldDesc& second)
{
    TvxCommandExtras extras;
    extras.field1 = first;
    extras.field2 = second;
    return extras;
}

int MessageIdOf(TvxApplyResult result)
{
    switch (result) {
    case TvxApplyResult::Append:
    case TvxApplyResult::Done:
        return vxOK;
    case TvxApplyResult::NameInUse:
        return vxErrFieldNameInUse;
    case TvxApplyResult::TableFull:
        return vxErrFieldPosOut;
    case TvxApplyResult::TableExists:
        return vxErrTableExists;
    case TvxApplyResult::ScriptFull:
        return vxMsgScriptFull;
    }
    return vxOK;
}

namespace {

void Require(bool present, const char* what)
{
    if (!present)
        throw std::invalid_argument(what);
}

} // namespace

int TvxDBScript::AddCommand(std::unique_ptr<TvxCommand>& command, TvxCommandExtras extras)
{
    Require(command != nullptr, "AddCommand: no command");
    const int kind = command->Kind();
    if (kind == ckCreateField)
        Require(extras.field1.has_value(), "AddCommand: Create field needs the new field descriptor");
    else if (kind == ckChangeField || kind == ckMoveField)
        Require(extras.field1 && extras.field2, "AddCommand: this field command needs two field descriptors");
    else if (kind == ckAddTable)
        Require(extras.table != nullptr, "AddCommand: Add table needs the new table's descriptor");

    // What the builder appends to a command keeps it within its kind's parameters, so every
    // recorded command reads back.
    if (command->ParamCount() > SuppliedParamsOf(kind))
        throw std::invalid_argument("AddCommand: more parameters than the editor supplies for this kind");

    Index();
    if (BeyondLimits(*command))
        return MessageIdOf(TvxApplyResult::ScriptFull);
    TvxApplyResult result = TvxApplyResult::Append;
    switch (kind) {
    case ckAddAlias:
        result = ApplyAddAlias(command);
        break;
    case ckAddNewAlias:
        result = ApplyAddNewAlias(command);
        break;
    case ckCreateTable: {
        auto desc = std::make_unique<TvxTableDesc>();
        result = ApplyCreateTable(*command, desc);
        break;
    }
    case ckChangeTable:
        // Renaming a table to the name of another would merge the commands of the two tables.
        result = RenameClashes(*command) ? TvxApplyResult::TableExists : ApplyChangeTable(*command);
        break;
    case ckDeleteTable:
        result = ApplyDeleteTable(*command);
        break;
    case ckAddTable:
        result = ApplyAddTable(*command, extras.table);
        break;
    case ckCreateField:
        result = ApplyCreateField(*command, *extras.field1, extras.newValue);
        break;
    case ckDeleteField:
        result = ApplyDeleteField(*command);
        break;
    case ckChangeField:
        result = ApplyChangeField(*command, *extras.field1, *extras.field2);
        break;
    case ckMoveField:
        result = ApplyMoveField(*command, *extras.field1, *extras.field2);
        break;
    default:
        break; // Add password and any other kind are appended as they are
    }

    if (result == TvxApplyResult::Append) {
        Commands().push_back(std::move(command));
        index_.Appended(Commands(), Count() - 1);
        DoAddCommand(*Commands().back());
    } else if (result == TvxApplyResult::Done) {
        command.reset();
    }
    return MessageIdOf(result);
}

bool TvxDBScript::BeyondLimits(const TvxCommand& command) const
{
    const int kind = command.Kind();
    const bool removes =
        kind == ckDeleteTable || kind == ckChangeTable || (kind == ckAddNewAlias && command.ParamCount() == 0);
    if (!removes && Count() >= MaxScriptCommands)
        return true;
    if ((kind != ckCreateTable && kind != ckAddTable) ||
        FindTableCommand(command.ParamText(CreateTableParam::Table)) >= 0)
        return false;
    int tables = 0;
    for (int i = 0; i < Count(); ++i)
        tables += Command(i)->Kind() == ckCreateTable || Command(i)->Kind() == ckAddTable ? 1 : 0;
    return tables >= MaxScriptTables;
}

void TvxDBScript::DoAddCommand(TvxCommand& command)
{
    if (OnAddCommand)
        OnAddCommand(command);
}

void TvxDBScript::DoAfterLoad(TvxCommand& command)
{
    index_.Invalidate();
    TvxDBScriptLoader::DoAfterLoad(command);
}

const TvxScriptCommandIndex& TvxDBScript::Index() const
{
    index_.Ensure(Commands());
    return index_;
}

void TvxDBScript::RemoveAt(int pos)
{
    index_.Removing(Commands(), pos);
    Commands().erase(Commands().begin() + pos);
}

void TvxDBScript::DeleteCommand(int pos)
{
    if (pos < 0 || pos >= Count())
        return;
    Index();
    RemoveAt(pos);
}

void TvxDBScript::Clear()
{
    index_.Invalidate();
    TvxDBScriptLoader::Clear();
}

bool TvxDBScript::ReplaceCommand(int i, std::unique_ptr<TvxCommand>&& command)
{
    index_.Invalidate();
    return TvxDBScriptLoader::ReplaceCommand(i, std::move(command));
}

void TvxDBScript::SpliceCommands(int pos, int count, std::vector<std::unique_ptr<TvxCommand>> with)
{
    index_.Invalidate();
    auto& commands = Commands();
    pos = std::clamp(pos, 0, Count());
    count = std::clamp(count, 0, Count() - pos);
    const auto first = commands.begin() + pos;
    const auto common = std::min<std::size_t>(static_cast<std::size_t>(count), with.size());
    std::move(with.begin(), with.begin() + static_cast<std::ptrdiff_t>(common), first);
    if (static_cast<std::size_t>(count) > common)
        commands.erase(first + static_cast<std::ptrdiff_t>(common), first + count);
    else
        commands.insert(first + static_cast<std::ptrdiff_t>(common),
                        std::make_move_iterator(with.begin() + static_cast<std::ptrdiff_t>(common)),
                        std::make_move_iterator(with.end()));
}

void TvxDBScript::LoadFromStream(TvxStream& stream)
{
    index_.Invalidate();
    TvxDBScriptLoader::LoadFromStream(stream);
}

// ---- Look-ups ------------------------------------------------------------------------------

int TvxDBScript::FindFirstOfKind(int kind) const
{
    for (int i = 0; i < Count(); ++i)
        if (Command(i)->Kind() == kind)
            return i;
    return -1;
}

int TvxDBScript::FindEqual(const TvxCommand& command, int count) const
{
    const int n = count < 0 ? Count() : std::min(count, Count());
    for (int i = 0; i < n; ++i)
        if (Command(i)->IsEqual(command))
            return i;
    return -1;
}

int TvxDBScript::FindTableCommand(std::string_view name) const
{
    for (int pos : Index().TableCommands(name)) {
        const TvxCommand* c = Command(pos);
        if (c && (c->Kind() == ckCreateTable || c->Kind() == ckAddTable) &&
            UpperCaseEqual(c->ParamText(CreateTableParam::Table), name))
            return pos;
    }
    return -1;
}

int TvxDBScript::FindPassword(std::string_view tableName) const
{
    for (int i = 0; i < Count(); ++i) {
        const TvxCommand* c = Command(i);
        if (c->Kind() == ckAddPassword && UpperCaseEqual(c->ParamText(AddPasswordParam::Table), tableName))
            return i;
    }
    return -1;
}

std::string TvxDBScript::NewNameOfAddedTable(std::string_view sourceName) const
{
    for (int i = 0; i < Count(); ++i) {
        const TvxCommand* c = Command(i);
        if (c->Kind() == ckAddTable && UpperCaseEqual(c->ParamText(AddTableParam::SourceTable), sourceName))
            return c->ParamText(AddTableParam::Table);
    }
    return {};
}

std::string TvxDBScript::NewValueOf(std::string_view table, std::string_view field) const
{
    for (int pos : Index().FieldCommands(table)) {
        const TvxCommand* c = Command(pos);
        if (c && c->Kind() == ckCreateField && UpperCaseEqual(c->ParamText(CreateFieldParam::Table), table) &&
            UpperCaseEqual(c->ParamText(CreateFieldParam::FieldName), field))
            return c->ParamText(CreateFieldParam::NewValue);
    }
    return {};
}

std::vector<std::string> TvxDBScript::CommandTexts() const
{
    std::vector<std::string> lines;
    lines.reserve(static_cast<std::size_t>(Count()));
    for (int i = 0; i < Count(); ++i)
        lines.push_back(CommandText(*Command(i)));
    return lines;
}

} // namespace morvane
