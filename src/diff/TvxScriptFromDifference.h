#pragma once
// BuildScriptFromDifference: fills a new script with the commands whose replay turns the source
// database's structure into the wanted one, every command through the builder's AddCommand (so
// every rule of the builder holds), as an editing session would record them:
//  - "Add alias" for the source, and "Add new alias" when a target is given;
//  - per wanted table, in the wanted database's order: "Add table" from the source table of
//    its name (upper-case equal), else "Create table";
//  - per added table: "Delete field" for the source fields the wanted table lacks, "Change
//    field" for a field whose name (letter case included), type or size changed, "Create
//    field" for a new field (its existing records get the default of its validity check),
//    and "Delete field" then "Move field" from the source table for a field whose place among
//    the others changed; a rename (TvxFieldRenames) carries the field's values under its new
//    name instead of dropping it;
//  - then the wanted primary key, secondary indexes, validity checks and rules on other tables
//    are set on the new tables' descriptors, which the document and the maintenance script carry;
//  - "Add password" for a protected wanted table whose password the wanted side knows
//    (TvxDiffDatabase::passwords), unless its source table opens with it already.
// Tables only in the source are left out of the new structure.
//
// The script must be empty and linked to an empty table list; a field grid linked to the list
// is unlinked while the script is built and linked again after (its table refreshed). Throws
// EvxDifferenceError (the script and the list are then emptied again) for a script or list not
// empty, a rename naming a table or field that is not there, renames that need each other's
// names (A=B with B=A), or a structure the builder cannot record.

#include "diff/TvxDiffDatabase.h"
#include "diff/TvxDifferenceReport.h"
#include "diff/TvxFieldRenames.h"

namespace morvane {

class TvxDBScript;

TvxDifferenceReport BuildScriptFromDifference(TvxDBScript& script, const TvxDiffDatabase& source,
                                              const TvxDiffDatabase& wanted, const TvxFieldRenames& renames = {},
                                              const TvxDiffTarget& target = {});

} // namespace morvane
