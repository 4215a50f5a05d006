#include "views/TvxFieldTypeNames.h"

#include "views/vxRecordText.h"

namespace morvane {

TvxFieldTypeNames::TvxFieldTypeNames(const TvxFieldTypeList& types)
{
    names_.reserve(types.size());
    for (const TvxFieldTypeEntry& type : types)
        names_.emplace_back(type.record.typeCode(), RecordTextToQString(type.name, vxNewTableCodePage));
}

QString TvxFieldTypeNames::NameOf(int typeCode) const
{
    for (const auto& [code, name] : names_)
        if (code == typeCode)
            return name;
    return {};
}

} // namespace morvane
