#include "diff/TvxFieldRenames.h"

#include "model/vxNameRules.h"
#include "script/vxNameCompare.h"

#include "diff/EvxDifferenceError.h"

namespace morvane {

void TvxFieldRenames::Add(std::string_view spec)
{
    const std::size_t dot = spec.find('.');
    const std::size_t equals = dot == std::string_view::npos ? dot : spec.find('=', dot + 1);
    if (equals == std::string_view::npos)
        throw EvxDifferenceError("rename \"" + std::string(spec) + "\" is not of the form TABLE.OLD=NEW");
    Add({std::string(spec.substr(0, dot)), std::string(spec.substr(dot + 1, equals - dot - 1)),
         std::string(spec.substr(equals + 1))});
}

void TvxFieldRenames::Add(TvxFieldRename rename)
{
    const std::string text = rename.table + "." + rename.oldName + "=" + rename.newName;
    if (rename.table.empty() || rename.oldName.empty() || rename.newName.empty())
        throw EvxDifferenceError("rename \"" + text + "\" is not of the form TABLE.OLD=NEW");
    for (const std::string& problem : {TableNameProblem(rename.table), FieldNameProblem(rename.newName)})
        if (!problem.empty())
            throw EvxDifferenceError("rename \"" + text + "\": " + problem);
    for (const TvxFieldRename& r : renames_)
        if (UpperCaseEqual(r.table, rename.table) &&
            (UpperCaseEqual(r.oldName, rename.oldName) || UpperCaseEqual(r.newName, rename.newName)))
            throw EvxDifferenceError("rename \"" + text + "\" names a field that another rename of table " + r.table +
                                     " names already");
    renames_.push_back(std::move(rename));
}

std::vector<TvxFieldRename> TvxFieldRenames::Of(std::string_view table) const
{
    std::vector<TvxFieldRename> out;
    for (const TvxFieldRename& r : renames_)
        if (UpperCaseEqual(r.table, table))
            out.push_back(r);
    return out;
}

} // namespace morvane
