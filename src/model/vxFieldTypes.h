#pragma once
// Paradox field type codes, the value texts of validity checks (minimum, maximum, default)
// and the engine value conversions they rest on. Free functions, no state. Texts are
// single-byte strings; the decimal separator follows the process's numeric locale.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "model/TvxFieldDesc.h"
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
// The display text of the area; "" for types without a value form and unknown codes. No text
// (nullopt) for a value that no text reads back as: a Number or Money that is not finite, a
// BCD beyond precision 32 with its decimals, a Date outside years 1-9999, a Time of a day or
// more, a Timestamp that is negative, not finite or outside those years, an Alpha area
// without a terminating zero. Dates, times and timestamps show whole seconds.
std::optional<std::string> ValueToText(const std::uint8_t* area, int code);
// Converts text to the value of a field of this type (BCD: precision 32 with the field's
// decimals, units2). Returns the failed flag: 0 on success or for a type without a value form
// (262-266, 272, unknown codes; the area is left as is), 1 when the text does not convert (the
// area is then zeroed). On success the area is zeroed and holds the value. Reads back every
// text ValueToText writes, as the same value. A year of one or two digits is the year with
// those last digits among the 100 years from 49 before the current year to 50 after it.
int TextToValue(std::string_view text, const TvxFieldDesc& field, std::uint8_t* area);

struct TvxValCheckTexts
{
    bool required = false;
    // "" when the check has no such value or the type does not show it; nullopt when it has
    // one that has no text (see ValueToText).
    std::optional<std::string> minimum = std::string();
    std::optional<std::string> maximum = std::string();
    std::optional<std::string> defaultValue = std::string();
    std::string picture;
};
// Minimum, maximum and default as the type shows them (Logical: default only;
// Autoincrement: minimum only; types without a value form: none).
TvxValCheckTexts ValCheckTexts(const TvxValCheckDesc& check, int code);

} // namespace morvane
