#include "views/vxFieldTexts.h"

#include "model/vxFieldTypes.h"

namespace morvane {

TvxFieldTexts FieldTexts(const TvxFieldDesc& field, int codePage, const TvxFieldTypeNames& types)
{
    return {RecordTextToQString(field.name(), codePage), types.NameOf(field.type()), FieldLengthText(field)};
}

QString FieldLengthText(const TvxFieldDesc& field)
{
    if (!TypeNeedsSize(field.type()))
        return {};
    return QString::number(field.type() == fldBcd ? field.units2() : field.units1());
}

} // namespace morvane
