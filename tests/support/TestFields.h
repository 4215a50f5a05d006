#pragma once
// MakeField: a field record as a table holding that field gives it.

#include <string_view>

#include "model/TvxFieldDesc.h"
#include "model/vxFieldTypes.h"

namespace morvane::test {

// number is the 1-based position (0: none). size is what the user gives: the length of Alpha
// and Bytes, the size of the blob types (units1), the decimals of BCD (units2; the precision
// is 32). Other types ignore it. The record length follows from type and size.
inline TvxFieldDesc MakeField(std::string_view name, int number = 1, int type = fldAlpha, int size = 10)
{
    TvxFieldDesc f;
    f.setFieldNumber(number);
    f.setName(name);
    f.setType(type);
    switch (type) {
    case fldAlpha:
    case fldBytes: f.setUnits1(size), f.setLength(size); break;
    case fldMemo:
    case fldBinary:
    case fldFmtMemo:
    case fldOle:
    case fldGraphic: f.setUnits1(size), f.setLength(size + 10); break;
    case fldBcd: f.setUnits1(32), f.setUnits2(size), f.setLength(17); break;
    case fldLogical: f.setLength(1); break;
    case fldShort: f.setLength(2); break;
    case fldNumber:
    case fldMoney:
    case fldTimestamp: f.setLength(8); break;
    default: f.setLength(4); break; // Date, Long, Time, Autoincrement
    }
    return f;
}

} // namespace morvane::test
