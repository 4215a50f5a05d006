#pragma once
// TvxMaintenancePlanner: the plans of a maintenance script's tables. A table the target
// already holds is restructured: its fields are matched by name (letter case ignored) and
// converted to their new types; fields the structure no longer has are dropped (and noted);
// its level, language driver, code page and password stay. A table the target lacks is
// created empty. Add throws EvxRunError: 298 for a structure without a name or with a field
// no table can hold, 301/302 for an existing table that cannot be opened or read.

#include <vector>

#include "server/TvxTablePlan.h"

namespace morvane {

class IvxTableReader;

class TvxMaintenancePlanner
{
public:
    // target: the tables as they are now (null when the target directory does not exist yet).
    explicit TvxMaintenancePlanner(IvxTableReader* target);

    void Add(const TvxTableDesc& structure);
    std::vector<TvxTablePlan>& Plans() { return plans_; }

private:
    IvxTableReader* target_;
    std::vector<TvxTablePlan> plans_;
};

} // namespace morvane
