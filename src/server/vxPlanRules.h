#pragma once
// The two sides of the referential-integrity rules among the tables a run builds, and the order
// it builds them in.

#include <vector>

#include "server/TvxTablePlan.h"

namespace morvane {

// Every dependent rule names its master by the name the master has in the new structure (a
// table copied from the source under a new name is found by its source file); the master gets
// the matching master-side rule; master-side rules towards a built table that no longer
// depends on it are dropped. Rules towards tables the run does not build stay as they are.
void CompleteRuleSides(std::vector<TvxTablePlan>& plans);

// Positions of the plans, each master before its dependents (a cycle keeps script order).
std::vector<int> BuildOrder(const std::vector<TvxTablePlan>& plans);

// The plan a dependent rule of `plan` refers to, -1 when the run builds no such table.
int MasterOf(const std::vector<TvxTablePlan>& plans, const TvxTablePlan& plan, const TvxRefIntDesc& rule);

} // namespace morvane
