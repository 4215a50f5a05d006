#include "views/vxFieldTexts.h"

#include "db/cpDatabase.h"
#include "model/vxFieldTypes.h"

#include <exception>

namespace morvane {

TvxFieldTexts FieldTexts(const TvxFieldDesc& field, int codePage)
{
    return {RecordTextToQString(field.name(), codePage), FieldTypeNameText(field.type()), FieldLengthText(field)};
}

QString FieldTypeNameText(int typeCode)
{
    TvxDatabase* database = TvxDatabase::Current();
    if (!database)
        return {};
    // Filling the type list asks the engine; a failure there leaves the name empty rather than
    // escaping from a repaint or a click.
    try {
        return RecordTextToQString(database->FieldTypeName(typeCode), vxNewTableCodePage);
    } catch (const std::exception&) {
        return {};
    }
}

bool CurrentDatabaseExists()
{
    return TvxDatabase::Current() != nullptr;
}

QString FieldLengthText(const TvxFieldDesc& field)
{
    if (!TypeNeedsSize(field.type()))
        return {};
    return QString::number(field.type() == fldBcd ? field.units2() : field.units1());
}

} // namespace morvane
