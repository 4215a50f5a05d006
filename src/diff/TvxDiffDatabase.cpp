#include "diff/TvxDiffDatabase.h"

#include <filesystem>

#include "db/cpDatabase.h"
#include "script/vxNameCompare.h"

namespace morvane {

const TvxTableDesc* TvxDiffDatabase::Find(std::string_view name) const
{
    for (const TvxTableDesc& t : tables)
        if (UpperCaseEqual(t.TableName(), name))
            return &t;
    return nullptr;
}

TvxDiffDatabase ReadDiffDatabase(TvxDatabase& database)
{
    TvxDiffDatabase side;
    side.aliasName = database.AliasName();
    std::string dir = side.aliasName.empty() ? std::string() : database.AliasPath();
    if (dir.empty() && database.Handle())
        dir = database.Handle()->Directory();
    std::error_code ec;
    const std::filesystem::path absolute = std::filesystem::absolute(dir, ec);
    side.directory = ec || dir.empty() ? dir : absolute.lexically_normal().string();
    for (TvxTableItem& item : database.ReadTables())
        side.tables.push_back(std::move(*item.desc));
    return side;
}

} // namespace morvane
