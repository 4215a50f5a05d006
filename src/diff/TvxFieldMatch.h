#pragma once
// MatchFields: how the fields of a source table become those of the wanted table. A wanted
// field takes the source field of its name (upper-case equal), or the source field a rename
// names for it; the others are new. Of the matched fields the largest set that is already in
// the wanted order stays in place (changed there when its name, type or size differs); the
// rest are taken out and moved in again at their wanted places. Source fields that no wanted
// field takes are dropped.

#include "model/clvxTableDesc.h"

#include <vector>

#include "diff/TvxFieldRenames.h"

namespace morvane {

struct TvxFieldMatch
{
    std::vector<int> sourceOf; // per wanted field: position of its source field, -1 when new
    std::vector<bool> stays;   // per wanted field: matched and kept in place
    std::vector<int> dropped;  // positions of the source fields no wanted field takes, in order
};

// renames: those of this table. Throws EvxDifferenceError for a rename whose old name is no
// field of the source table or whose new name is none of the wanted table.
TvxFieldMatch MatchFields(const TvxTableDesc& source, const TvxTableDesc& wanted,
                          const std::vector<TvxFieldRename>& renames);

// The field's size as a script records it: decimals (units2) for BCD, units1 for the others.
int ScriptFieldSize(const TvxFieldDesc& field);

// Same name (exactly), type and size: a field the script leaves as it is.
bool SameScriptField(const TvxFieldDesc& a, const TvxFieldDesc& b);

} // namespace morvane
