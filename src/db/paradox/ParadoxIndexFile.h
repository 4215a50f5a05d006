#pragma once
// A secondary index (.Xnn or .XGn) read from its X file's header and checked against the
// table's header. Throws EvxEngineError(vxErrInvalidFile) naming the X file when the index
// does not fit its table.

#include <cstdint>
#include <string>
#include <vector>

#include "db/paradox/ParadoxTableHeader.h"

namespace morvane {

struct ParadoxSecondaryIndex
{
    bool composite = false;        // .XGn (named) rather than .Xnn
    int number = 0;                // nn of .Xnn, n of .XGn (from the file name; -1 when not numeric)
    bool maintained = false;
    bool unique = false;
    bool descending = false;
    bool caseInsensitive = false;
    std::string name;              // stored name, else the name of the first key field
    std::vector<int> keyFields;    // 1-based table positions
    std::vector<bool> descendingFields;
    int keyLength = 0;
    int blockSizeKb = 0;
};

// extension: the X file's extension without the dot ("X02", "xg0").
ParadoxSecondaryIndex ReadParadoxSecondaryIndex(const ParadoxTableHeader& xHeader, const ParadoxTableHeader& table,
                                                const std::string& extension, const std::string& fileName);

// Parses an X file from a buffer and reads the index from it.
ParadoxSecondaryIndex ParseParadoxSecondaryIndex(const std::uint8_t* data, std::size_t size, std::uint64_t fileSize,
                                                 const ParadoxTableHeader& table, const std::string& extension,
                                                 const std::string& fileName);

} // namespace morvane
