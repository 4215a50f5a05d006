#pragma once
// DiagramOfScript: the diagram of the new structure that a script describes, with what it
// changes against the source database marked. Its tables are the script's (in the list's
// order): created ones are Added; one added from a source table under another name is Renamed;
// its fields are matched with the source table's through the script's Change field commands
// (a field renamed there is Renamed, one whose type or size differs Changed, one the source
// lacks Added, and a source field the new table lacks is shown Removed after the others).
// Source tables that the script does not carry are shown Removed. Rules are matched by name
// per table: Added, Removed, or unmarked. A table whose fields or rules changed is Changed.
// Source tables as DiagramOfTables takes them; an empty list marks nothing beyond the
// created tables.

#include <span>

#include "diagram/TvxDiagram.h"
#include "diagram/vxDiagramOfTables.h"

namespace morvane {

class TvxDBScriptLoader;
class TvxScriptTableList;

TvxDiagram DiagramOfScript(std::span<const TvxDiagramSource> source, const TvxScriptTableList& tables,
                           const TvxDBScriptLoader& script);

} // namespace morvane
