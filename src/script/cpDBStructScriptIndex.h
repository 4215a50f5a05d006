#pragma once
// TvxScriptCommandIndex: the builder's look-up aid. For each table name (upper-cased, letters
// a-z only) it holds, in script order, the positions of the commands that may concern that
// table's fields (Create field and Change field by parameter 0, Move field by parameter 1) and
// of its Create table and Add table commands. Entries are candidates: callers check the command
// itself, so a stale entry costs a comparison and never a wrong match. The index notices a
// command list changed behind its back (count, first or last command differ) and is rebuilt.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "script/TvxCommand.h"

namespace morvane {

class TvxScriptCommandIndex
{
public:
    using CommandList = std::vector<std::unique_ptr<TvxCommand>>;

    // Rebuilds unless the index still describes commands.
    void Ensure(const CommandList& commands);
    void Invalidate() { valid_ = false; }

    // The command at pos was appended (pos is the last position).
    void Appended(const CommandList& commands, int pos);
    // The command at pos is about to be removed from commands (still in place).
    void Removing(const CommandList& commands, int pos);
    // The list changed in a way that keeps every position and table name (an in-place update).
    void Touched(const CommandList& commands) { Stamp(commands); }

    // Candidate positions, ascending; empty when none.
    const std::vector<int>& FieldCommands(std::string_view table) const;
    const std::vector<int>& TableCommands(std::string_view table) const;
    int AddTableCount() const { return addTableCount_; }

private:
    static std::string Key(std::string_view name);
    void Stamp(const CommandList& commands);
    void Add(const TvxCommand& command, int pos);

    std::unordered_map<std::string, std::vector<int>> fields_;
    std::unordered_map<std::string, std::vector<int>> tables_;
    int addTableCount_ = 0;
    bool valid_ = false;
    std::size_t count_ = 0;
    std::uintptr_t first_ = 0;
    std::uintptr_t last_ = 0;
};

} // namespace morvane
