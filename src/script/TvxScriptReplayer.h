#pragma once
// TvxScriptReplayer: rebuilds the new-structure tables from commands read back from a script
// document, one command at a time, in file order. Create table and Add table add entries to the
// table list; the field commands change the named new table. Alias, table deletion and rename
// and password commands change no table here: the editor applies the alias commands itself.

#include <functional>
#include <string_view>

namespace morvane {

class TvxCommand;
class TvxScriptTableList;
class TvxTableDesc;

class TvxScriptReplayer
{
public:
    enum Result {
        Applied,       // the table list follows the command (or the command names nothing found)
        NotATableEdit, // alias, delete/change table, password: nothing to rebuild
        MissingSource  // Add table whose source table the source database does not hold
    };

    // Source tables of the open database by name, ignoring letter case; null when absent.
    using SourceLookup = std::function<const TvxTableDesc*(std::string_view name)>;

    // Neither is owned; both outlive the replayer.
    TvxScriptReplayer(TvxScriptTableList& tables, SourceLookup sources);

    Result Apply(const TvxCommand& command);

private:
    TvxScriptTableList& tables_;
    SourceLookup sources_;
};

} // namespace morvane
