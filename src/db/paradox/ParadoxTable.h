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

    // Code page of the table's texts: the header's for level 4+, the driver's for level 3.
    int codePage() const;
    std::string languageDriver() const;
};

} // namespace morvane
