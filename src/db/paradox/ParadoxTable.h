#pragma once
// Everything read from the files of one Paradox table: the .DB header, the primary index
// header when a .PX exists, the secondary indexes in engine order and the .VAL contents.

#include <optional>
#include <string>
#include <vector>

#include "db/paradox/ParadoxIndexFile.h"
#include "db/paradox/ParadoxTableHeader.h"
#include "db/paradox/ParadoxValFile.h"

namespace morvane {

struct ParadoxTable
{
    ParadoxTableHeader header;
    std::optional<ParadoxTableHeader> primaryIndex;
    std::vector<ParadoxSecondaryIndex> secondaryIndexes; // .Xnn by nn, then .XGn by n
    std::optional<ParadoxValFile> val;

    int codePage() const;
    std::string languageDriver() const;
};

// Code page of a table's texts: the header's for level 4+ (its driver's when the header holds
// 0), its driver's for level 3.
int ParadoxTextCodePage(const ParadoxTableHeader& header);
// The language driver's name: the header's for level 4+, its sort order's for level 3.
std::string ParadoxDriverName(const ParadoxTableHeader& header);

} // namespace morvane
