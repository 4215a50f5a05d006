#pragma once
// StructureDifferences: what differs between two tables' structures as far as the update and
// maintenance scripts carry them: the fields in order (name, type, size), the primary key, the
// secondary indexes (by name: key fields, unique, descending, case-insensitive), the validity
// checks (required, minimum, maximum, default, picture) and the rules of the table on other
// tables (dependent side: name, other table, fields, update and delete rule). Table-level
// properties (level, language driver, block size, password) and the master side of rules are
// not compared. Empty when the structures are the same.

#include "model/clvxTableDesc.h"

#include <string>
#include <vector>

namespace morvane {

struct TvxStructureDifference
{
    enum class Part { Fields, PrimaryKey, Index, Check, Rule };
    Part part;
    std::string text; // "index ByName: key fields 2 -> 2,3" (names in the tables' code page)
};

// have: the structure as it is; want: as it should be.
std::vector<TvxStructureDifference> StructureDifferences(const TvxTableDesc& have, const TvxTableDesc& want);

} // namespace morvane
