#pragma once
// The three texts that both field views show for one field: name, type name and length.
// The type name comes from the current database connection (empty when there is none or the
// code is not among the driver's field types). The length is the size for types that carry
// one, the number of decimal places for BCD, and empty otherwise.

#include "model/TvxFieldDesc.h"
#include "views/vxRecordText.h"

#include <QString>

namespace morvane {

struct TvxFieldTexts
{
    QString name;
    QString type;
    QString length;
};

TvxFieldTexts FieldTexts(const TvxFieldDesc& field, int codePage = vxNewTableCodePage);
QString FieldTypeNameText(int typeCode);
QString FieldLengthText(const TvxFieldDesc& field);
// Whether a database connection has been created (the type names come from it).
bool CurrentDatabaseExists();

} // namespace morvane
