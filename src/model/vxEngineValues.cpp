#include "model/vxEngineValues.h"

#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace morvane {

namespace {

// Engine day number of 1 January 1970, the origin of the civil-date arithmetic below.
constexpr std::int64_t UnixEpochDay = 719163;
constexpr int MaxYear = 9999;

// Days since 1970-01-01 of a proleptic Gregorian date (H. Hinnant's algorithm).
std::int64_t DaysFromCivil(std::int64_t y, unsigned m, unsigned d)
{
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const auto yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

bool IsLeapYear(int y)
{
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

int DaysInMonth(int y, int m)
{
    static constexpr int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && IsLeapYear(y) ? 29 : days[m - 1];
}

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

std::string_view Trimmed(std::string_view s)
{
    while (!s.empty() && IsBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

constexpr int GeneralDigits = 15;
constexpr int MaxDigits = 17; // enough for every double to read back as itself

// The value's first `count` significant decimal digits (rounded) and the power of ten of the
// first one.
struct DecimalDigits
{
    char digits[MaxDigits];
    int count = 0;
    int exponent = 0;
};

DecimalDigits ToDecimalDigits(double magnitude, int count = GeneralDigits)
{
    char buf[48];
    std::snprintf(buf, sizeof buf, "%.*e", count - 1, magnitude);
    DecimalDigits r{};
    const char* p = buf;
    for (; *p && *p != 'e'; ++p)
        if (IsDigit(*p) && r.count < count)
            r.digits[r.count++] = *p;
    if (*p == 'e')
        r.exponent = std::atoi(p + 1);
    return r;
}

std::string DigitsToText(double value, std::string_view decimalSeparator, int count)
{
    if (std::isnan(value))
        return "NAN";
    if (std::isinf(value))
        return value < 0 ? "-INF" : "INF";
    if (value == 0.0)
        return "0";

    const DecimalDigits dd = ToDecimalDigits(std::fabs(value), count);
    std::string digits(dd.digits, static_cast<std::size_t>(dd.count));
    while (!digits.empty() && digits.back() == '0')
        digits.pop_back();
    const int exponent = dd.exponent;

    std::string out = value < 0 ? "-" : "";
    if (exponent >= GeneralDigits || exponent < -4) {
        out += digits[0];
        if (digits.size() > 1) {
            out += decimalSeparator;
            out.append(digits, 1);
        }
        out += 'E';
        out += std::to_string(exponent);
    } else if (exponent >= 0) {
        const auto intCount = static_cast<std::size_t>(exponent) + 1;
        if (digits.size() <= intCount) {
            out += digits;
            out.append(intCount - digits.size(), '0');
        } else {
            out.append(digits, 0, intCount);
            out += decimalSeparator;
            out.append(digits, intCount);
        }
    } else {
        out += '0';
        out += decimalSeparator;
        out.append(static_cast<std::size_t>(-exponent - 1), '0');
        out += digits;
    }
    return out;
}

} // namespace

TvxDate DecodeDate(std::int32_t engineDate)
{
    const std::int64_t z = static_cast<std::int64_t>(engineDate) - UnixEpochDay + 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const auto doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    const unsigned d = doy - (153 * mp + 2) / 5 + 1;
    const unsigned m = mp < 10 ? mp + 3 : mp - 9;
    const std::int64_t y = static_cast<std::int64_t>(yoe) + era * 400 + (m <= 2);
    return TvxDate{static_cast<int>(m), static_cast<int>(d), static_cast<int>(y)};
}

bool EncodeDate(int year, int month, int day, std::int32_t& engineDate)
{
    engineDate = 0;
    if (year < 1 || year > MaxYear || month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month))
        return false;
    engineDate = static_cast<std::int32_t>(DaysFromCivil(year, static_cast<unsigned>(month),
                                                         static_cast<unsigned>(day)) +
                                           UnixEpochDay);
    return true;
}

TvxTime DecodeTime(std::int32_t engineTime)
{
    if (engineTime < 0)
        return {};
    return TvxTime{engineTime / 3600000, engineTime / 60000 % 60, engineTime % 60000};
}

bool EncodeTime(int hour, int minute, int milliseconds, std::int32_t& engineTime)
{
    engineTime = 0;
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || milliseconds < 0 || milliseconds > 59999)
        return false;
    engineTime = hour * 3600000 + minute * 60000 + milliseconds;
    return true;
}

bool DecodeTimeStamp(double timeStamp, std::int32_t& engineDate, std::int32_t& engineTime)
{
    engineDate = 0;
    engineTime = 0;
    if (!std::isfinite(timeStamp) || timeStamp < 0)
        return false;
    const double day = std::floor(timeStamp / MsPerDay);
    if (day > 2147483647.0)
        return false;
    const double ms = std::round(timeStamp - day * MsPerDay);
    engineDate = static_cast<std::int32_t>(day);
    engineTime = static_cast<std::int32_t>(ms < 0 ? 0 : ms);
    if (engineTime >= MsPerDay) { // rounding reached the next day
        if (engineDate == 2147483647) {
            engineDate = 0;
            engineTime = 0;
            return false;
        }
        ++engineDate;
        engineTime -= MsPerDay;
    }
    return true;
}

double EncodeTimeStamp(std::int32_t engineDate, std::int32_t engineTime)
{
    return static_cast<double>(engineDate) * MsPerDay + engineTime;
}

double BcdToDouble(const std::uint8_t* bcd)
{
    const int precision = bcd[0];
    const int places = bcd[1] & 0x3F;
    if (precision > BcdMaxPrecision || places > precision)
        return 0.0;
    std::string text;
    text.reserve(BcdMaxPrecision + 2);
    for (int k = 0; k < precision; ++k) {
        const int nibble = k % 2 == 0 ? bcd[2 + k / 2] >> 4 : bcd[2 + k / 2] & 0x0F;
        if (nibble > 9)
            return 0.0;
        if (k == precision - places)
            text += '.';
        text += static_cast<char>('0' + nibble);
    }
    double value = 0.0;
    if (!text.empty())
        std::from_chars(text.data(), text.data() + text.size(), value);
    return (bcd[1] & 0x80) && value != 0.0 ? -value : value;
}

bool DoubleToBcd(double value, int precision, int decimals, std::uint8_t* bcd)
{
    std::memset(bcd, 0, BcdSize);
    if (!std::isfinite(value) || precision < 1 || precision > BcdMaxPrecision || decimals < 0 ||
        decimals > precision || decimals > 0x3F)
        return false;

    // digits[i] holds the digit of the power intDigits - 1 - i.
    const int intDigits = precision - decimals;
    int digits[BcdMaxPrecision] = {};
    bool roundUp = false;
    if (value != 0.0) {
        const DecimalDigits dd = ToDecimalDigits(std::fabs(value));
        for (int j = 0; j < 15; ++j) {
            const int digit = dd.digits[j] - '0';
            const int power = dd.exponent - j;
            if (power >= intDigits) {
                if (digit != 0)
                    return false;
            } else if (power >= -decimals) {
                digits[intDigits - 1 - power] = digit;
            } else if (power == -decimals - 1) {
                roundUp = digit >= 5;
            }
        }
    }
    if (roundUp) {
        int i = precision - 1;
        while (i >= 0 && digits[i] == 9)
            digits[i--] = 0;
        if (i < 0)
            return false;
        ++digits[i];
    }
    bool nonZero = false;
    for (int i = 0; i < precision; ++i)
        nonZero = nonZero || digits[i] != 0;

    bcd[0] = static_cast<std::uint8_t>(precision);
    bcd[1] = static_cast<std::uint8_t>((value < 0 && nonZero ? 0x80 : 0) | decimals);
    for (int i = 0; i < precision; ++i)
        bcd[2 + i / 2] |= static_cast<std::uint8_t>(i % 2 == 0 ? digits[i] << 4 : digits[i]);
    return true;
}

std::string DecimalSeparator()
{
    const std::lconv* lc = std::localeconv();
    if (lc == nullptr || lc->decimal_point == nullptr || lc->decimal_point[0] == '\0')
        return ".";
    return lc->decimal_point;
}

std::string FloatToText(double value, std::string_view decimalSeparator)
{
    return DigitsToText(value, decimalSeparator, GeneralDigits);
}

std::string ReadableFloatText(double value, std::string_view decimalSeparator)
{
    for (int digits = GeneralDigits; digits < MaxDigits; ++digits) {
        std::string text = DigitsToText(value, decimalSeparator, digits);
        double back = 0.0;
        if (!std::isfinite(value) || (TextToFloat(text, decimalSeparator, back) && back == value))
            return text;
    }
    return DigitsToText(value, decimalSeparator, MaxDigits);
}

std::string FloatToText(double value)
{
    return FloatToText(value, DecimalSeparator());
}

bool TextToFloat(std::string_view text, std::string_view decimalSeparator, double& value)
{
    value = 0.0;
    std::string_view s = Trimmed(text);
    std::string normal;
    normal.reserve(s.size());
    if (!s.empty() && (s.front() == '+' || s.front() == '-')) {
        if (s.front() == '-')
            normal += '-';
        s.remove_prefix(1);
    }
    bool anyDigit = false;
    while (!s.empty() && IsDigit(s.front())) {
        normal += s.front();
        s.remove_prefix(1);
        anyDigit = true;
    }
    if (!decimalSeparator.empty() && s.starts_with(decimalSeparator)) {
        normal += '.';
        s.remove_prefix(decimalSeparator.size());
        while (!s.empty() && IsDigit(s.front())) {
            normal += s.front();
            s.remove_prefix(1);
            anyDigit = true;
        }
    }
    if (!anyDigit)
        return false;
    if (!s.empty() && (s.front() == 'e' || s.front() == 'E')) {
        normal += 'e';
        s.remove_prefix(1);
        if (!s.empty() && (s.front() == '+' || s.front() == '-')) {
            normal += s.front();
            s.remove_prefix(1);
        }
        if (s.empty() || !IsDigit(s.front()))
            return false;
        while (!s.empty() && IsDigit(s.front())) {
            normal += s.front();
            s.remove_prefix(1);
        }
    }
    if (!s.empty())
        return false;

    double parsed = 0.0;
    const auto [end, ec] = std::from_chars(normal.data(), normal.data() + normal.size(), parsed);
    if (ec != std::errc() || end != normal.data() + normal.size() || !std::isfinite(parsed)) {
        return false;
    }
    value = parsed;
    return true;
}

bool TextToFloat(std::string_view text, double& value)
{
    return TextToFloat(text, DecimalSeparator(), value);
}

bool TextToInteger(std::string_view text, std::int64_t minimum, std::int64_t maximum, std::int64_t& value)
{
    value = 0;
    std::string_view s = Trimmed(text);
    bool negative = false;
    if (!s.empty() && (s.front() == '+' || s.front() == '-')) {
        negative = s.front() == '-';
        s.remove_prefix(1);
    }
    if (s.empty())
        return false;
    std::int64_t magnitude = 0;
    for (char c : s) {
        if (!IsDigit(c))
            return false;
        magnitude = magnitude * 10 + (c - '0');
        if (magnitude > (std::int64_t{1} << 40))
            return false; // far beyond any range asked for
    }
    const std::int64_t v = negative ? -magnitude : magnitude;
    if (v < minimum || v > maximum)
        return false;
    value = v;
    return true;
}

} // namespace morvane
