#include "db/paradox/ParadoxTable.h"

#include "db/paradox/ParadoxLanguageDrivers.h"

namespace morvane {

int ParadoxTextCodePage(const ParadoxTableHeader& header)
{
    if (header.hasDataHeader) {
        if (header.codePage != 0)
            return header.codePage;
        const auto driver = ParadoxDriverNamed(header.languageDriver);
        return driver && driver->codePage != 0 ? driver->codePage : 0;
    }
    return ParadoxDriverForSortOrder(header.sortOrder).codePage;
}

int ParadoxTable::codePage() const
{
    return ParadoxTextCodePage(header);
}

std::string ParadoxTable::languageDriver() const
{
    return ParadoxDriverName(header);
}

std::string ParadoxDriverName(const ParadoxTableHeader& header)
{
    if (header.hasDataHeader)
        return header.languageDriver;
    return ParadoxDriverForSortOrder(header.sortOrder).name;
}

} // namespace morvane
