#pragma once
// Paradox field type codes, the value texts of validity checks (minimum, maximum, default)
// and the engine value conversions they rest on. Free functions, no state. Texts are
// single-byte strings; the decimal separator follows the process's numeric locale.

#include <cstdint>
#include <string>
#include <string_view>

#include "model/TvxValCheckDesc.h"
#include "model/vxEngineValues.h"

namespace morvane {

enum TvxFieldType : int {
    fldAlpha = 257,
    fldNumber = 258,
    fldMoney = 259,
    fldDate = 260,
    fldShort = 261,
    fldMemo = 262,
    fldBinary = 263,
    fldFmtMemo = 264,
    fldOle = 265,
    fldGraphic = 266,
    fldLong = 267,
    fldTime = 268,
    fldTimestamp = 269,
    fldLogical = 270,
    fldAutoInc = 271,
    fldBytes = 272,
    fldBcd = 273,
};

// True for Alpha, the blob types, Bytes and BCD (the size the user gives: units2 for BCD,
// units1 for the others).
bool TypeNeedsSize(int code);
// False for the blob types (262-266) and codes that are not field types.
bool TypeCanBeIndexed(int code);

// Value areas (256 bytes) hold one form per type, the engine's: Alpha zero-terminated text,
// Number/Money little-endian double, Short int16, Long/Autoincrement int32, Date engine
// date (int32, -1 = TODAY), Time engine time (int32, -1 = NOW), Timestamp engine timestamp
// (double, 0 = NOW), Logical one byte, BCD the 34-byte engine BCD. Little-endian throughout.
//
// The display text of the area; "" for types without a value form and unknown codes.
std::string ValueToText(const std::uint8_t* area, int code);
// Returns the failed flag: 0 on success or for a type without a value form (262-266, 272,
// unknown codes; the area is left as is), 1 when the text does not convert (the area is
// then zeroed). On success the area is zeroed and holds the value. Reads back every text
// ValueToText writes.
int TextToValue(std::string_view text, int code, std::uint8_t* area);

struct TvxValCheckTexts
{
    bool required = false;
    std::string minimum;
    std::string maximum;
    std::string defaultValue;
    std::string picture;
};
// Minimum, maximum and default as the type shows them (Logical: default only;
// Autoincrement: minimum only; types without a value form: none).
TvxValCheckTexts ValCheckTexts(const TvxValCheckDesc& check, int code);

} // namespace morvane
