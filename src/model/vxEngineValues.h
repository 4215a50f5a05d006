#pragma once
// The engine's binary value forms and their conversions: dates, times and timestamps, the
// 34-byte engine BCD, and numbers to and from text in the runtime's general float form.
// Free functions, no state; nothing throws. A false result means the value does not fit the
// form and the output is left zero.

#include <cstdint>
#include <string>
#include <string_view>

namespace morvane {

// Engine date: day number, 1 January of year 1 = day 1 (proleptic Gregorian).
// Engine time: milliseconds since midnight. Engine timestamp: milliseconds since the start
// of day 0 (date * 86400000 + time), as a double.
inline constexpr std::int32_t MsPerDay = 86400000;

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

// Any day number decodes (days before day 1 give year 0 and earlier).
TvxDate DecodeDate(std::int32_t engineDate);
// Years 1-9999, months 1-12, days within the month.
bool EncodeDate(int year, int month, int day, std::int32_t& engineDate);
// Negative times decode as zero; times of a day or more give hours past 23.
TvxTime DecodeTime(std::int32_t engineTime);
// Hours 0-23, minutes 0-59, milliseconds 0-59999.
bool EncodeTime(int hour, int minute, int milliseconds, std::int32_t& engineTime);
// False (date and time 0) for a value that is not finite, negative or past the last engine date.
bool DecodeTimeStamp(double timeStamp, std::int32_t& engineDate, std::int32_t& engineTime);
double EncodeTimeStamp(std::int32_t engineDate, std::int32_t engineTime);

// Engine BCD: byte 0 precision (number of digits), byte 1 bit 7 negative, bit 6 special,
// bits 0-5 decimal places; then the digits as nibbles, high nibble first, left-aligned, the
// last `places` of the `precision` digits being the fraction.
inline constexpr int BcdSize = 34;
inline constexpr int BcdMaxPrecision = 64;
// A damaged BCD (precision over 64, places over precision, a nibble over 9) gives 0.
double BcdToDouble(const std::uint8_t* bcd);
// The value rounded half away from zero to `decimals` places, taken to 15 significant digits
// first (so 1.005 becomes 1.01). False, and bcd zeroed, when the value is not finite, the
// precision is not 1-64, decimals not 0-precision, or the integer digits do not fit.
bool DoubleToBcd(double value, int precision, int decimals, std::uint8_t* bcd);

// The numeric locale's decimal separator ("." in the C locale).
std::string DecimalSeparator();
// The runtime's general float form: 15 significant digits, trailing zeros dropped, fixed
// notation unless the value needs more than 15 integer digits or is below 0.0001, then
// "1.5E20" / "1E-5". Non-finite values give "NAN", "INF", "-INF".
std::string FloatToText(double value, std::string_view decimalSeparator);
std::string FloatToText(double value);
// FloatToText with as many significant digits (15 to 17) as the value needs to read back as
// itself: 15 for every value typed with up to 15, more for others (as +-DBL_MAX).
std::string ReadableFloatText(double value, std::string_view decimalSeparator);
// Surrounding blanks allowed; an optional sign, digits with at most one separator, an
// optional exponent; the whole text must be used. Fails when the value is out of the
// double range (either way), and for inf and nan.
bool TextToFloat(std::string_view text, std::string_view decimalSeparator, double& value);
bool TextToFloat(std::string_view text, double& value);
// Decimal integer with optional sign and surrounding blanks, within [minimum, maximum].
bool TextToInteger(std::string_view text, std::int64_t minimum, std::int64_t maximum, std::int64_t& value);

} // namespace morvane
