#include "db/paradox/ParadoxTable.h"

#include "db/paradox/ParadoxLanguageDrivers.h"

namespace morvane {

int ParadoxTable::codePage() const
{
    if (header.hasDataHeader)
        return header.codePage;
    return ParadoxDriverForSortOrder(header.sortOrder).codePage;
}

std::string ParadoxTable::languageDriver() const
{
    if (header.hasDataHeader)
        return header.languageDriver;
    return ParadoxDriverForSortOrder(header.sortOrder).name;
}

} // namespace morvane
