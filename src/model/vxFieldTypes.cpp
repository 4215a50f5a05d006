#include "model/vxFieldTypes.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <limits>

#include "platform/vxTime.h"

namespace morvane {

namespace {

constexpr std::size_t AreaSize = TvxValCheckDesc::AreaSize;
constexpr std::size_t MaxAlphaChars = AreaSize - 1;
constexpr int BcdPrecision = 32;
constexpr int MinYear = 1;
constexpr int MaxYear = 9999;

std::uint32_t ReadU32(const std::uint8_t* p)
{
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

std::int32_t ReadI32(const std::uint8_t* p)
{
    return static_cast<std::int32_t>(ReadU32(p));
}

std::int16_t ReadI16(const std::uint8_t* p)
{
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(p[0] | (p[1] << 8)));
}

double ReadDouble(const std::uint8_t* p)
{
    std::uint64_t bits = 0;
    for (int i = 7; i >= 0; --i)
        bits = (bits << 8) | p[i];
    double v;
    std::memcpy(&v, &bits, sizeof v);
    return v;
}

void WriteU32(std::uint8_t* p, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

void WriteI32(std::uint8_t* p, std::int32_t v)
{
    WriteU32(p, static_cast<std::uint32_t>(v));
}

void WriteI16(std::uint8_t* p, std::int16_t v)
{
    const auto u = static_cast<std::uint16_t>(v);
    p[0] = static_cast<std::uint8_t>(u);
    p[1] = static_cast<std::uint8_t>(u >> 8);
}

void WriteDouble(std::uint8_t* p, double v)
{
    std::uint64_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    for (int i = 0; i < 8; ++i)
        p[i] = static_cast<std::uint8_t>(bits >> (8 * i));
}

// Spaces and control characters, as a trim drops them around a text.
bool IsBlank(char c)
{
    return static_cast<unsigned char>(c) <= ' ';
}

// "m/d/y"; none for years outside 1-9999, which no date text reads back as. Years below 100
// keep four digits ("1/2/0003"), since a year of one or two digits reads as a near one.
std::optional<std::string> DateText(std::int32_t engineDate)
{
    const TvxDate d = DecodeDate(engineDate);
    if (d.year < MinYear || d.year > MaxYear)
        return std::nullopt;
    char buf[48];
    std::snprintf(buf, sizeof buf, d.year < 100 ? "%d/%d/%04d" : "%d/%d/%d", d.month, d.day, d.year);
    return buf;
}

// "h:m:s AM" for hours 0-11, "h:m:s PM" with hour - 12 from noon on; none for a day or more.
std::optional<std::string> TimeText(std::int32_t engineTime)
{
    const TvxTime t = DecodeTime(engineTime);
    if (t.hour > 23)
        return std::nullopt;
    const bool pm = t.hour >= 12;
    char buf[48];
    std::snprintf(buf, sizeof buf, "%d:%d:%d %s", pm ? t.hour - 12 : t.hour, t.minute, t.milliseconds / 1000,
                  pm ? "PM" : "AM");
    return buf;
}

std::optional<std::string> TimeStampText(double timeStamp)
{
    if (timeStamp == 0.0)
        return "NOW";
    std::int32_t date = 0;
    std::int32_t time = 0;
    if (!DecodeTimeStamp(timeStamp, date, time))
        return std::nullopt;
    const std::optional<std::string> day = DateText(date);
    const std::optional<std::string> clock = TimeText(time);
    if (!day || !clock)
        return std::nullopt;
    return *day + " @ " + *clock;
}

// The float's text, none for a value that is not finite.
std::optional<std::string> NumberText(double value)
{
    if (!std::isfinite(value))
        return std::nullopt;
    return ReadableFloatText(value, DecimalSeparator());
}

// The BCD's value as a float text (15 significant digits); none when that text does not store
// back as the same value in a BCD of precision 32 with the area's own decimals (more than 15
// significant digits, or too many integer digits).
std::optional<std::string> BcdText(const std::uint8_t* bcd)
{
    const double value = BcdToDouble(bcd);
    const std::string text = FloatToText(value);
    double typed = 0.0;
    std::uint8_t back[BcdSize];
    if (!TextToFloat(text, typed) || !DoubleToBcd(typed, BcdPrecision, std::min(bcd[1] & 0x3F, BcdPrecision), back) ||
        BcdToDouble(back) != value)
        return std::nullopt;
    return text;
}

// The year a year text means: one or two digits name the year with those last digits among
// the 100 years from 49 years before the current year to 50 years after it (in 2025:
// 1976-2075); three or more digits are the year itself.
int FullYear(int year, int digits)
{
    if (digits > 2)
        return year;
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    vxLocalTime(now, local);
    const int first = local.tm_year + 1900 - 49;
    int full = first - first % 100 + year;
    if (full < first)
        full += 100;
    return full;
}

// Reads the date and time texts ValueToText writes; blanks around the parts are allowed.
class TvxMomentScanner
{
public:
    explicit TvxMomentScanner(std::string_view text) : s_(text) {}

    bool atEnd()
    {
        skipBlanks();
        return s_.empty();
    }

    bool take(char c)
    {
        skipBlanks();
        if (s_.empty() || s_.front() != c)
            return false;
        s_.remove_prefix(1);
        return true;
    }

    bool number(int& value)
    {
        int digits = 0;
        return number(value, digits);
    }

    bool number(int& value, int& digits)
    {
        skipBlanks();
        value = 0;
        std::size_t n = 0;
        while (n < s_.size() && s_[n] >= '0' && s_[n] <= '9') {
            if (n == 9)
                return false;
            value = value * 10 + (s_[n] - '0');
            ++n;
        }
        s_.remove_prefix(n);
        digits = static_cast<int>(n);
        return n > 0;
    }

    // "m/d/y" to an engine date; a year of one or two digits is taken as FullYear says.
    bool date(std::int32_t& engineDate)
    {
        int month = 0;
        int day = 0;
        int year = 0;
        int yearDigits = 0;
        return number(month) && take('/') && number(day) && take('/') && number(year, yearDigits) &&
               EncodeDate(FullYear(year, yearDigits), month, day, engineDate);
    }

    // "h:m[:s]" with an optional AM/PM (then hours 0-12, 12 AM being midnight), else hours 0-23.
    bool time(std::int32_t& engineTime)
    {
        int hour = 0;
        int minute = 0;
        int second = 0;
        if (!number(hour) || !take(':') || !number(minute))
            return false;
        if (take(':') && !number(second))
            return false;
        if (second > 59)
            return false;
        skipBlanks();
        if (s_.size() >= 2 && (s_[1] == 'M' || s_[1] == 'm')) {
            const char c = s_[0];
            const bool pm = c == 'P' || c == 'p';
            if (!pm && c != 'A' && c != 'a')
                return false;
            s_.remove_prefix(2);
            if (hour > 12)
                return false;
            hour = hour % 12 + (pm ? 12 : 0);
        }
        return EncodeTime(hour, minute, second * 1000, engineTime);
    }

private:
    void skipBlanks()
    {
        while (!s_.empty() && IsBlank(s_.front()))
            s_.remove_prefix(1);
    }

    std::string_view s_;
};

std::string UpperTrimmed(std::string_view text)
{
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    std::string s(text);
    for (char& c : s)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return s;
}

bool HasValueForm(int code)
{
    switch (code) {
    case fldAlpha:
    case fldNumber:
    case fldMoney:
    case fldDate:
    case fldShort:
    case fldLong:
    case fldTime:
    case fldTimestamp:
    case fldLogical:
    case fldAutoInc:
    case fldBcd:
        return true;
    default:
        return false;
    }
}

// A Short or Long within its range, little-endian.
template <class Int>
bool StoreInteger(std::string_view text, std::uint8_t* area)
{
    std::int64_t v = 0;
    if (!TextToInteger(text, std::numeric_limits<Int>::min(), std::numeric_limits<Int>::max(), v))
        return false;
    if constexpr (sizeof(Int) == 2)
        WriteI16(area, static_cast<std::int16_t>(v));
    else
        WriteI32(area, static_cast<std::int32_t>(v));
    return true;
}

// A Date or Time: the keyword ("TODAY", "NOW") stores -1, any other text must be the moment.
bool StoreMoment(std::string_view text, std::string_view keyword, bool (TvxMomentScanner::*read)(std::int32_t&),
                 std::uint8_t* area)
{
    std::int32_t value = -1;
    if (UpperTrimmed(text) != keyword) {
        TvxMomentScanner scan(text);
        if (!(scan.*read)(value) || !scan.atEnd())
            return false;
    }
    WriteI32(area, value);
    return true;
}

// Stores the text's value into the (already zeroed) area; false when it does not convert.
bool StoreValue(std::string_view text, const TvxFieldDesc& field, std::uint8_t* area)
{
    switch (field.type()) {
    case fldAlpha: {
        const std::size_t n = text.size() < MaxAlphaChars ? text.size() : MaxAlphaChars;
        std::memcpy(area, text.data(), n);
        return true;
    }
    case fldNumber:
    case fldMoney: {
        double v = 0.0;
        if (!TextToFloat(text, v))
            return false;
        WriteDouble(area, v);
        return true;
    }
    case fldBcd: {
        double v = 0.0;
        return TextToFloat(text, v) && DoubleToBcd(v, BcdPrecision, field.units2(), area);
    }
    case fldShort:
        return StoreInteger<std::int16_t>(text, area);
    case fldLong:
    case fldAutoInc: // its minimum, the first value the field gives
        return StoreInteger<std::int32_t>(text, area);
    case fldDate:
        return StoreMoment(text, "TODAY", &TvxMomentScanner::date, area);
    case fldTime:
        return StoreMoment(text, "NOW", &TvxMomentScanner::time, area);
    case fldTimestamp: {
        if (UpperTrimmed(text) == "NOW") {
            WriteDouble(area, 0.0);
            return true;
        }
        std::int32_t date = 0;
        std::int32_t time = 0;
        TvxMomentScanner scan(text);
        if (!scan.date(date))
            return false;
        if (!scan.atEnd()) {
            scan.take('@');
            if (!scan.time(time) || !scan.atEnd())
                return false;
        }
        WriteDouble(area, EncodeTimeStamp(date, time));
        return true;
    }
    case fldLogical: {
        const std::string word = UpperTrimmed(text);
        if (word != "TRUE" && word != "FALSE")
            return false;
        area[0] = word == "TRUE" ? 1 : 0;
        return true;
    }
    default:
        return false;
    }
}

} // namespace

bool TypeNeedsSize(int code)
{
    return code == fldAlpha || (code >= fldMemo && code <= fldGraphic) || code == fldBytes || code == fldBcd;
}

bool TypeCanBeIndexed(int code)
{
    return code >= fldAlpha && code <= fldBcd && !(code >= fldMemo && code <= fldGraphic);
}

std::optional<std::string> ValueToText(const std::uint8_t* area, int code)
{
    switch (code) {
    case fldAlpha: {
        const auto* p = reinterpret_cast<const char*>(area);
        const std::size_t n = strnlen(p, AreaSize);
        if (n > MaxAlphaChars)
            return std::nullopt; // no terminating zero
        return std::string(p, n);
    }
    case fldNumber:
    case fldMoney:
        return NumberText(ReadDouble(area));
    case fldBcd:
        return BcdText(area);
    case fldDate: {
        const std::int32_t date = ReadI32(area);
        if (date < 0)
            return "TODAY";
        return DateText(date);
    }
    case fldShort:
        return std::to_string(ReadI16(area));
    case fldLong:
    case fldAutoInc:
        return std::to_string(ReadI32(area));
    case fldTime: {
        const std::int32_t time = ReadI32(area);
        if (time < 0)
            return "NOW";
        return TimeText(time);
    }
    case fldTimestamp:
        return TimeStampText(ReadDouble(area));
    case fldLogical:
        return area[0] != 0 ? "True" : "False";
    default:
        return std::string();
    }
}

int TextToValue(std::string_view text, const TvxFieldDesc& field, std::uint8_t* area)
{
    if (!HasValueForm(field.type()))
        return 0;
    std::memset(area, 0, AreaSize);
    if (StoreValue(text, field, area))
        return 0;
    std::memset(area, 0, AreaSize);
    return 1;
}

TvxValCheckTexts ValCheckTexts(const TvxValCheckDesc& check, int code)
{
    TvxValCheckTexts texts;
    texts.required = check.required();
    texts.picture = check.picture();
    const bool showsAll = HasValueForm(code) && code != fldLogical && code != fldAutoInc;
    if (check.hasMinimum() && (showsAll || code == fldAutoInc))
        texts.minimum = ValueToText(check.minimum(), code);
    if (check.hasMaximum() && showsAll)
        texts.maximum = ValueToText(check.maximum(), code);
    if (check.hasDefault() && (showsAll || code == fldLogical))
        texts.defaultValue = ValueToText(check.defaultValue(), code);
    return texts;
}

} // namespace morvane
