#include "diagram/TvxDiagram.h"

#include <cctype>

namespace morvane {

bool SameTableName(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::toupper(static_cast<unsigned char>(a[i])) != std::toupper(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

int TvxDiagram::TableIndex(std::string_view name) const
{
    for (std::size_t i = 0; i < tables.size(); ++i)
        if (SameTableName(tables[i].name, name))
            return static_cast<int>(i);
    return -1;
}

bool TvxDiagram::Related(int table) const
{
    if (table < 0 || table >= static_cast<int>(tables.size()))
        return false;
    const std::string& name = tables[static_cast<std::size_t>(table)].name;
    for (const TvxDiagramRule& r : rules)
        if (r.dependent == name || r.master == name)
            return true;
    return false;
}

} // namespace morvane
