#include "db/paradox/ParadoxTable.h"

#include "db/paradox/ParadoxLanguageDrivers.h"

namespace morvane {

int ParadoxTextCodePage(const ParadoxTableHeader& header)
{
    if (header.hasDataHeader)
        return header.codePage;
    return ParadoxDriverForSortOrder(header.sortOrder).codePage;
}

int ParadoxTable::codePage() const
{
    return ParadoxTextCodePage(header);
}

std::string ParadoxTable::languageDriver() const
{
    if (header.hasDataHeader)
        return header.languageDriver;
    return ParadoxDriverForSortOrder(header.sortOrder).name;
}

} // namespace morvane
