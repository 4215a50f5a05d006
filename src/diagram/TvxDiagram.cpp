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

int TvxDiagram::TableOrMissing(const std::string& name)
{
    if (const int at = TableIndex(name); at >= 0)
        return at;
    TvxDiagramTable missing;
    missing.name = name;
    missing.missing = true;
    tables.push_back(std::move(missing));
    return static_cast<int>(tables.size()) - 1;
}

} // namespace morvane
