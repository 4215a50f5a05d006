#pragma once
// Paradox field type codes, the value texts of validity checks (minimum, maximum, default)
// and the engine value conversions they rest on. Free functions, no state. Texts are
// single-byte strings; the decimal separator follows the process's numeric locale.

#include <cstdint>
#include <string>
#include <string_view>

#include "model/TvxValCheckDesc.h"

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

bool TypeNeedsSize(int code);
bool TypeCanBeIndexed(int code);

// area: a 256-byte value area.
std::string ValueToText(const std::uint8_t* area, int code);
// Returns the failed flag: 0 on success or for a type without a value form, 1 when the text
// does not convert.
int TextToValue(std::string_view text, int code, std::uint8_t* area);

struct TvxValCheckTexts
{
    bool required = false;
    std::string minimum;
    std::string maximum;
    std::string defaultValue;
    std::string picture;
};
TvxValCheckTexts ValCheckTexts(const TvxValCheckDesc& check, int code);

// Engine value conversions. Engine date: day number, 1 January of year 1 = day 1.
// Engine time: milliseconds since midnight. Engine timestamp: milliseconds since the start
// of day 0 (date * 86400000 + time), as a double.
struct TvxDate
{
    int month = 0;
    int day = 0;
    int year = 0;
};
struct TvxTime
{
    int hour = 0;
    int minute = 0;
    int milliseconds = 0; // within the minute
};
TvxDate DecodeDate(std::int32_t engineDate);
bool EncodeDate(int year, int month, int day, std::int32_t& engineDate);
TvxTime DecodeTime(std::int32_t engineTime);
bool EncodeTime(int hour, int minute, int milliseconds, std::int32_t& engineTime);
void DecodeTimeStamp(double timeStamp, std::int32_t& engineDate, std::int32_t& engineTime);
double EncodeTimeStamp(std::int32_t engineDate, std::int32_t engineTime);

inline constexpr int BcdSize = 34;
// Engine BCD (34 bytes) to double, and back with the given precision and decimals.
double BcdToDouble(const std::uint8_t* bcd);
bool DoubleToBcd(double value, int precision, int decimals, std::uint8_t* bcd);

} // namespace morvane
