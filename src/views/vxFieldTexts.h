#pragma once
// The three texts that both field views show for one field: name, type name and length.
// The type name is the one the given field types hold for the field's code (empty when they
// do not hold it). The length is the size for types that carry one, the number of decimal
// places for BCD, and empty otherwise.

#include "model/TvxFieldDesc.h"
#include "views/TvxFieldTypeNames.h"
#include "views/vxRecordText.h"

#include <QString>

namespace morvane {

struct TvxFieldTexts
{
    QString name;
    QString type;
    QString length;
};

TvxFieldTexts FieldTexts(const TvxFieldDesc& field, int codePage, const TvxFieldTypeNames& types);
QString FieldLengthText(const TvxFieldDesc& field);

} // namespace morvane
