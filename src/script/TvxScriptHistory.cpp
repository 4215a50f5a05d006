#include "script/TvxScriptHistory.h"

#include "script/TvxScriptTableList.h"
#include "script/cpDBStructScript.h"

#include <algorithm>
#include <iterator>
#include <utility>

namespace morvane {

namespace {

bool SameCommand(const TvxCommand& a, const TvxCommand& b)
{
    if (a.Kind() != b.Kind() || a.ParamCount() != b.ParamCount())
        return false;
    for (int i = 0; i < a.ParamCount(); ++i)
        if (!(a.Param(i)->Value() == b.Param(i)->Value()))
            return false;
    return true;
}

template <class Record>
bool SameRecords(const std::vector<Record>& a, const std::vector<Record>& b)
{
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](const Record& x, const Record& y) { return x.bytes() == y.bytes(); });
}

bool SameTable(const TvxTableDesc& a, const TvxTableDesc& b)
{
    return a.CursorProps().bytes() == b.CursorProps().bytes() && a.TableList().bytes() == b.TableList().bytes() &&
           SameRecords(a.Fields(), b.Fields()) && SameRecords(a.Indexes(), b.Indexes()) &&
           SameRecords(a.RefInts(), b.RefInts()) && SameRecords(a.ValChecks(), b.ValChecks());
}

// Replaces the count items of `kept` from pos on by `with`, answering those it took out.
template <class T>
std::vector<T> Exchange(std::vector<T>& kept, int pos, int count, std::vector<T>&& with)
{
    const auto first = kept.begin() + pos;
    std::vector<T> out(std::make_move_iterator(first), std::make_move_iterator(first + count));
    kept.erase(first, first + count);
    kept.insert(kept.begin() + pos, std::make_move_iterator(with.begin()), std::make_move_iterator(with.end()));
    return out;
}

// The first position where live and kept differ and how many items at their ends agree (never
// overlapping that prefix).
template <class Same>
std::pair<int, int> Difference(int live, int kept, Same same)
{
    const int common = std::min(live, kept);
    int prefix = 0;
    while (prefix < common && same(prefix, prefix))
        ++prefix;
    int suffix = 0;
    while (suffix < common - prefix && same(live - 1 - suffix, kept - 1 - suffix))
        ++suffix;
    return {prefix, suffix};
}

std::size_t CommandMemory(const TvxCommand& command)
{
    std::size_t bytes = sizeof(TvxCommand) + static_cast<std::size_t>(command.ParamCount()) * sizeof(TvxParameter);
    for (int i = 0; i < command.ParamCount(); ++i)
        if (const auto* text = std::get_if<std::string>(&command.Param(i)->Value()))
            bytes += text->capacity();
    return bytes;
}

} // namespace

TvxScriptHistory::TvxScriptHistory(TvxDBScript& script, TvxScriptTableList& tables) : script_(script), tables_(tables)
{
    Reset(true);
}

TvxScriptHistory::~TvxScriptHistory() = default;

void TvxScriptHistory::Reset(bool savedHere)
{
    undo_.clear();
    redo_.clear();
    commands_.clear();
    commands_.reserve(static_cast<std::size_t>(script_.Count()));
    for (int i = 0; i < script_.Count(); ++i)
        commands_.push_back(script_.Command(i)->Clone());
    entries_.clear();
    entries_.reserve(static_cast<std::size_t>(tables_.Count()));
    for (int i = 0; i < tables_.Count(); ++i)
        entries_.push_back(TableCopy{tables_.NameAt(i), *tables_.TableAt(i)});
    saved_ = savedHere ? 0 : -1;
    Told();
}

bool TvxScriptHistory::Changed() const
{
    if (script_.Count() != static_cast<int>(commands_.size()) || tables_.Count() != static_cast<int>(entries_.size()))
        return true;
    for (int i = 0; i < script_.Count(); ++i)
        if (!SameCommand(*script_.Command(i), *commands_[static_cast<std::size_t>(i)]))
            return true;
    for (int i = 0; i < tables_.Count(); ++i) {
        const TableCopy& copy = entries_[static_cast<std::size_t>(i)];
        if (tables_.NameAt(i) != copy.name || !SameTable(*tables_.TableAt(i), copy.desc))
            return true;
    }
    return false;
}

void TvxScriptHistory::Rewind()
{
    Step& last = undo_.back();
    if (last.commands.count > 0 || !last.commands.items.empty())
        Exchange(commands_, last.commands.pos, last.commands.count, std::move(last.commands.items));
    if (last.tables.count > 0 || !last.tables.items.empty())
        Exchange(entries_, last.tables.pos, last.tables.count, std::move(last.tables.items));
    undo_.pop_back();
}

bool TvxScriptHistory::Capture(int group)
{
    const bool joins =
        group != 0 && !undo_.empty() && undo_.back().group == group && redo_.empty() && saved_ != UndoCount();
    if (joins) {
        if (!Changed())
            return false;
        Rewind();
    }
    Step step;
    step.group = group;
    step.selection = tables_.ItemIndex();

    const int liveCommands = script_.Count();
    const int keptCommands = static_cast<int>(commands_.size());
    const auto [cPrefix, cSuffix] = Difference(liveCommands, keptCommands, [&](int live, int kept) {
        return SameCommand(*script_.Command(live), *commands_[static_cast<std::size_t>(kept)]);
    });
    const bool commandsChanged = cPrefix != liveCommands || cPrefix != keptCommands;

    const int liveTables = tables_.Count();
    const int keptTables = static_cast<int>(entries_.size());
    const auto [tPrefix, tSuffix] = Difference(liveTables, keptTables, [&](int live, int kept) {
        const TableCopy& copy = entries_[static_cast<std::size_t>(kept)];
        return tables_.NameAt(live) == copy.name && SameTable(*tables_.TableAt(live), copy.desc);
    });
    const bool tablesChanged = tPrefix != liveTables || tPrefix != keptTables;

    if (!commandsChanged && !tablesChanged) {
        // a joined run back where it began leaves no step
        if (joins)
            Told();
        return joins;
    }

    if (commandsChanged) {
        std::vector<std::unique_ptr<TvxCommand>> now;
        for (int i = cPrefix; i < liveCommands - cSuffix; ++i)
            now.push_back(script_.Command(i)->Clone());
        step.commands.pos = cPrefix;
        step.commands.count = static_cast<int>(now.size());
        step.commands.items = Exchange(commands_, cPrefix, keptCommands - cPrefix - cSuffix, std::move(now));
    }
    if (tablesChanged) {
        std::vector<TableCopy> now;
        for (int i = tPrefix; i < liveTables - tSuffix; ++i)
            now.push_back(TableCopy{tables_.NameAt(i), *tables_.TableAt(i)});
        step.tables.pos = tPrefix;
        step.tables.count = static_cast<int>(now.size());
        step.tables.items = Exchange(entries_, tPrefix, keptTables - tPrefix - tSuffix, std::move(now));
    }

    redo_.clear();
    if (saved_ > UndoCount())
        saved_ = -1;
    undo_.push_back(std::move(step));
    Told();
    return true;
}

void TvxScriptHistory::Swap(Step& step)
{
    auto& commands = step.commands;
    if (commands.count > 0 || !commands.items.empty()) {
        std::vector<std::unique_ptr<TvxCommand>> live;
        live.reserve(commands.items.size());
        for (const auto& command : commands.items)
            live.push_back(command->Clone());
        const int removed = commands.count;
        commands.count = static_cast<int>(commands.items.size());
        commands.items = Exchange(commands_, commands.pos, removed, std::move(commands.items));
        script_.SpliceCommands(commands.pos, removed, std::move(live));
    }

    auto& tables = step.tables;
    if (tables.count > 0 || !tables.items.empty()) {
        std::vector<std::pair<std::string, std::unique_ptr<TvxTableDesc>>> live;
        live.reserve(tables.items.size());
        for (const TableCopy& copy : tables.items)
            live.emplace_back(copy.name, std::make_unique<TvxTableDesc>(copy.desc));
        const int removed = tables.count;
        tables.count = static_cast<int>(tables.items.size());
        tables.items = Exchange(entries_, tables.pos, removed, std::move(tables.items));
        tables_.ReplaceEntries(tables.pos, removed, std::move(live));
    }

    // The first table put back is the one to look at; with none put back, the table selected
    // when the step was taken.
    int select = tables.count > 0 ? tables.pos : step.selection;
    select = std::min(select, tables_.Count() - 1);
    if (select != tables_.ItemIndex())
        tables_.SelectIndex(select);
    else
        tables_.Change();
}

bool TvxScriptHistory::Undo()
{
    return Take(undo_, redo_);
}

bool TvxScriptHistory::Redo()
{
    return Take(redo_, undo_);
}

bool TvxScriptHistory::Take(std::vector<Step>& from, std::vector<Step>& to)
{
    Capture();
    if (from.empty())
        return false;
    Step step = std::move(from.back());
    from.pop_back();
    Swap(step);
    to.push_back(std::move(step));
    Told();
    return true;
}

void TvxScriptHistory::MarkSaved()
{
    Capture();
    saved_ = UndoCount();
}

std::size_t TvxScriptHistory::StepMemory() const
{
    std::size_t bytes = 0;
    for (const auto* steps : {&undo_, &redo_})
        for (const Step& step : *steps) {
            bytes += sizeof(Step);
            for (const auto& command : step.commands.items)
                bytes += CommandMemory(*command);
            for (const TableCopy& copy : step.tables.items)
                bytes += sizeof(TableCopy) + copy.name.capacity() + copy.desc.MemoryUsage();
        }
    return bytes;
}

} // namespace morvane
