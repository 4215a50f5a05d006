#include "script/cpDBStructScriptIndex.h"

#include "script/vxNameCompare.h"

#include <algorithm>

namespace morvane {

namespace {

const std::vector<int> kNone;

std::uintptr_t Address(const TvxCommand* command)
{
    return reinterpret_cast<std::uintptr_t>(command);
}

} // namespace

std::string TvxScriptCommandIndex::Key(std::string_view name)
{
    std::string key(name);
    for (char& c : key)
        c = UpperAscii(c);
    return key;
}

void TvxScriptCommandIndex::Stamp(const CommandList& commands)
{
    count_ = commands.size();
    first_ = commands.empty() ? 0 : Address(commands.front().get());
    last_ = commands.empty() ? 0 : Address(commands.back().get());
}

void TvxScriptCommandIndex::Ensure(const CommandList& commands)
{
    if (valid_ && count_ == commands.size() &&
        (commands.empty() || (first_ == Address(commands.front().get()) && last_ == Address(commands.back().get()))))
        return;
    fields_.clear();
    tables_.clear();
    addTableCount_ = 0;
    for (std::size_t i = 0; i < commands.size(); ++i)
        Add(*commands[i], static_cast<int>(i));
    valid_ = true;
    Stamp(commands);
}

void TvxScriptCommandIndex::Add(const TvxCommand& command, int pos)
{
    switch (command.Kind()) {
    case ckCreateField:
    case ckChangeField:
    case ckMoveField:
        fields_[Key(command.ParamText(TableParamOf(command.Kind())))].push_back(pos);
        break;
    case ckAddTable:
        ++addTableCount_;
        [[fallthrough]];
    case ckCreateTable:
        tables_[Key(command.ParamText(CreateTableParam::Table))].push_back(pos);
        break;
    default:
        break;
    }
}

void TvxScriptCommandIndex::Appended(const CommandList& commands, int pos)
{
    if (!valid_)
        return;
    Add(*commands[static_cast<std::size_t>(pos)], pos);
    Stamp(commands);
}

void TvxScriptCommandIndex::Removing(const CommandList& commands, int pos)
{
    if (!valid_)
        return;
    if (commands[static_cast<std::size_t>(pos)]->Kind() == ckAddTable)
        --addTableCount_;
    for (auto* map : {&fields_, &tables_}) {
        for (auto& [key, positions] : *map) {
            auto it = std::lower_bound(positions.begin(), positions.end(), pos);
            if (it != positions.end() && *it == pos)
                it = positions.erase(it);
            for (; it != positions.end(); ++it)
                --*it;
        }
    }
    // Stamp as the list will be once the command is gone.
    count_ = commands.size() - 1;
    const std::size_t firstPos = pos == 0 ? 1 : 0;
    const std::size_t lastPos =
        static_cast<std::size_t>(pos) + 1 == commands.size() ? commands.size() - 2 : commands.size() - 1;
    first_ = count_ == 0 ? 0 : Address(commands[firstPos].get());
    last_ = count_ == 0 ? 0 : Address(commands[lastPos].get());
}

const std::vector<int>& TvxScriptCommandIndex::FieldCommands(std::string_view table) const
{
    const auto it = fields_.find(Key(table));
    return it == fields_.end() ? kNone : it->second;
}

const std::vector<int>& TvxScriptCommandIndex::TableCommands(std::string_view table) const
{
    const auto it = tables_.find(Key(table));
    return it == tables_.end() ? kNone : it->second;
}

} // namespace morvane
