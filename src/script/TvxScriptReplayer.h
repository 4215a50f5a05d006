#pragma once
// TvxScriptReplayer: rebuilds the new-structure tables from commands read back from a script
// document, one command at a time, in file order. Create table and Add table add entries to the
// table list; the field commands change the named new table. Table deletion and rename and
// password commands change no table. An Add alias (Add new alias) command is handed to
// OnSourceAlias (OnTargetAlias): the program opens the source database it names there, before
// any later Add table looks for its source table.
//
// The builder records each created, changed or moved field under the number it has in the
// finished table, and a later insert above it shifts that number. So a field is not inserted at
// its number as it comes: the replayer keeps, per table, the fields that commands placed (each
// with its final number) apart from the untouched fields of an added table (in their order), and
// after every field command lays the table out afresh: placed fields at their numbers, the
// others filling the free positions in order. Once the last command is in, each table is the one
// that was saved. Change field and Delete field without an earlier command name an untouched
// field (by its name in the source table).
//
// Failures: more than MaxScriptTables tables throw EReadError (nothing is added).

#include "model/TvxFieldDesc.h"

#include <functional>
#include <string_view>
#include <unordered_map>
#include <vector>

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

    // Neither is owned; both outlive the replayer. The replayer expects to be the only one to
    // change the list's fields while it is used.
    TvxScriptReplayer(TvxScriptTableList& tables, SourceLookup sources);

    Result Apply(const TvxCommand& command);

    TvxScriptTableList& Tables() const { return tables_; }

    // Fired by Apply for Add alias and Add new alias commands (which answer NotATableEdit).
    std::function<void(const TvxCommand&)> OnSourceAlias;
    std::function<void(const TvxCommand&)> OnTargetAlias;

private:
    struct Fields
    {
        std::vector<TvxFieldDesc> untouched; // an added table's own fields, in order
        std::vector<TvxFieldDesc> placed;    // fields a command placed, in command order
        std::vector<TvxFieldDesc> laidOut;   // the table's fields as last laid out
    };

    Fields& FieldsOf(const TvxTableDesc& table);
    // Sets the table's fields: placed fields at their numbers, untouched ones in the gaps.
    static void LayOut(TvxTableDesc& table, Fields& fields);
    void AddTable(std::string_view name, TvxTableDesc&& desc);

    TvxScriptTableList& tables_;
    SourceLookup sources_;
    std::unordered_map<const TvxTableDesc*, Fields> fields_;
};

} // namespace morvane
