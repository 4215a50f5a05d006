#include "views/vxFieldTexts.h"

#include "model/vxFieldTypes.h"

namespace morvane {

TvxFieldTexts FieldTexts(const TvxFieldDesc& field, int codePage)
{
    return {RecordTextToQString(field.name(), codePage), FieldTypeNameText(field.type()), FieldLengthText(field)};
}

QString FieldTypeNameText(int typeCode)
{
    (void)typeCode;
    return {};
}

bool CurrentDatabaseExists()
{
    return true;
}

QString FieldLengthText(const TvxFieldDesc& field)
{
    if (!TypeNeedsSize(field.type()))
        return {};
    return QString::number(field.type() == fldBcd ? field.units2() : field.units1());
}

} // namespace morvane
