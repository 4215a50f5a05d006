#pragma once
// What the report says of a table besides its field commands: the differences of its primary
// key, indexes, checks and rules (the source's numbered as the wanted fields), and what the
// scripts do not carry (table level, language driver, block size).

#include "model/clvxTableDesc.h"

#include "diff/TvxDifferenceReport.h"
#include "diff/TvxFieldMatch.h"

namespace morvane {

// source: null for a table only the wanted database holds.
void DescribeTable(const TvxTableDesc* source, const TvxTableDesc& wanted, const TvxFieldMatch& match,
                   TvxTableDifference& report);

} // namespace morvane
