#include "db/vxValueDisplay.h"

#include "model/vxCodePage.h"
#include "model/vxEngineValues.h"
#include "model/vxFieldTypes.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>

namespace morvane {

namespace {

// value in exactly `width` decimal digits (value < 10^width) at out; the end.
char* putDigits(char* out, std::int64_t value, int width)
{
    for (int i = width - 1; i >= 0; --i, value /= 10)
        out[i] = static_cast<char>('0' + value % 10);
    return out + width;
}

// The number of characters snprintf wrote into a buffer of TemporalTextSize.
std::size_t written(int n)
{
    return n < 0 ? 0 : std::min(static_cast<std::size_t>(n), TemporalTextSize - 1);
}

// Exports format every date, time and timestamp of a table: the usual values skip printf.
std::size_t writeTime(char* out, std::int64_t ms)
{
    if (ms < 0)
        ms = 0;
    if (ms < 100LL * 3600000) {
        char* p = putDigits(out, ms / 3600000, 2);
        *p++ = ':';
        p = putDigits(p, ms / 60000 % 60, 2);
        *p++ = ':';
        p = putDigits(p, ms / 1000 % 60, 2);
        *p++ = '.';
        p = putDigits(p, ms % 1000, 3);
        return static_cast<std::size_t>(p - out);
    }
    return written(std::snprintf(out, TemporalTextSize, "%02lld:%02lld:%02lld.%03lld",
                                 static_cast<long long>(ms / 3600000), static_cast<long long>(ms / 60000 % 60),
                                 static_cast<long long>(ms / 1000 % 60), static_cast<long long>(ms % 1000)));
}

bool isBinaryType(int fieldType)
{
    return fieldType == fldBytes || fieldType == fldBinary || fieldType == fldOle || fieldType == fldGraphic;
}

// Texts of the table as UTF-8, control characters escaped for a one-line display.
std::string displayText(std::string_view bytes, int codePage)
{
    const std::string utf8 = CodePageToUtf8(bytes, codePage);
    std::string out;
    out.reserve(utf8.size());
    for (const char c : utf8) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '\n')
            out += "\\n";
        else if (c == '\r')
            out += "\\r";
        else if (c == '\t')
            out += "\\t";
        else if (c == '\\')
            out += "\\\\";
        else if (u < 0x20 || u == 0x7F) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\x%02X", u);
            out += buf;
        } else
            out += c;
    }
    return out;
}

} // namespace

std::size_t WriteDateText(char* out, std::int32_t engineDate)
{
    const TvxDate d = DecodeDate(engineDate);
    if (d.year >= 0 && d.year <= 9999) {
        char* p = putDigits(out, d.year, 4);
        *p++ = '-';
        p = putDigits(p, d.month, 2);
        *p++ = '-';
        p = putDigits(p, d.day, 2);
        return static_cast<std::size_t>(p - out);
    }
    return written(d.year < 0 ? std::snprintf(out, TemporalTextSize, "-%04d-%02d-%02d", -d.year, d.month, d.day)
                              : std::snprintf(out, TemporalTextSize, "%04d-%02d-%02d", d.year, d.month, d.day));
}

std::size_t WriteTimeText(char* out, std::int32_t engineTime)
{
    return writeTime(out, engineTime);
}

std::size_t WriteTimestampText(char* out, double engineTimestamp)
{
    const double days = std::floor(engineTimestamp / MsPerDay);
    if (!std::isfinite(engineTimestamp) || days < std::numeric_limits<std::int32_t>::min() ||
        days >= std::numeric_limits<std::int32_t>::max())
        return static_cast<std::size_t>(std::to_chars(out, out + TemporalTextSize, engineTimestamp).ptr - out);
    auto day = static_cast<std::int32_t>(days);
    auto ms = static_cast<std::int64_t>(std::llround(engineTimestamp - days * MsPerDay));
    if (ms >= MsPerDay) {
        ++day;
        ms -= MsPerDay;
    }
    std::size_t n = WriteDateText(out, day);
    out[n++] = 'T';
    return n + writeTime(out + n, ms);
}

std::string ValueDateText(std::int32_t engineDate)
{
    char buf[TemporalTextSize];
    return std::string(buf, WriteDateText(buf, engineDate));
}

std::string ValueTimeText(std::int32_t engineTime)
{
    char buf[TemporalTextSize];
    return std::string(buf, WriteTimeText(buf, engineTime));
}

std::string ValueTimestampText(double engineTimestamp)
{
    char buf[TemporalTextSize];
    return std::string(buf, WriteTimestampText(buf, engineTimestamp));
}

std::string ValueNumberText(double value)
{
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf, value);
    return std::string(buf, r.ptr);
}

std::string ValueBase64(std::string_view bytes)
{
    std::string out;
    AppendBase64(out, bytes);
    return out;
}

void AppendBase64(std::string& out, std::string_view bytes)
{
    static constexpr char digits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    const std::size_t start = out.size();
    out.resize(start + (bytes.size() + 2) / 3 * 4);
    char* p = out.data() + start;
    std::size_t i = 0;
    for (; i + 3 <= bytes.size(); i += 3) {
        const std::uint32_t v = (static_cast<std::uint8_t>(bytes[i]) << 16) |
                                (static_cast<std::uint8_t>(bytes[i + 1]) << 8) |
                                static_cast<std::uint8_t>(bytes[i + 2]);
        *p++ = digits[v >> 18];
        *p++ = digits[(v >> 12) & 63];
        *p++ = digits[(v >> 6) & 63];
        *p++ = digits[v & 63];
    }
    if (const std::size_t rest = bytes.size() - i; rest > 0) {
        std::uint32_t v = static_cast<std::uint8_t>(bytes[i]) << 16;
        if (rest == 2)
            v |= static_cast<std::uint8_t>(bytes[i + 1]) << 8;
        *p++ = digits[v >> 18];
        *p++ = digits[(v >> 12) & 63];
        *p++ = rest == 2 ? digits[(v >> 6) & 63] : '=';
        *p++ = '=';
    }
}

void AppendJsonString(std::string& out, std::string_view utf8)
{
    out += '"';
    for (const char c : utf8) {
        const auto u = static_cast<unsigned char>(c);
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\b':
            out += "\\b";
            break;
        case '\f':
            out += "\\f";
            break;
        default:
            if (u < 0x20) {
                char buf[8];
                std::snprintf(buf, sizeof buf, "\\u%04x", u);
                out += buf;
            } else {
                out += c;
            }
        }
    }
    out += '"';
}

bool IsTextFieldType(int fieldType)
{
    return fieldType == fldAlpha || fieldType == fldMemo || fieldType == fldFmtMemo;
}

void AppendValueJson(std::string& out, const TvxFieldValue& value, int fieldType, int codePage)
{
    using Kind = TvxFieldValue::Kind;
    switch (value.kind()) {
    case Kind::Blank:
        out += "null";
        return;
    case Kind::Integer:
        out += std::to_string(value.integer());
        return;
    case Kind::Float:
        if (std::isfinite(value.real()))
            out += ValueNumberText(value.real());
        else
            out += "null"; // JSON has no form for it; the reader never gives one
        return;
    case Kind::Logical:
        out += value.logical() ? "true" : "false";
        return;
    case Kind::Date:
        AppendJsonString(out, ValueDateText(static_cast<std::int32_t>(value.integer())));
        return;
    case Kind::Time:
        AppendJsonString(out, ValueTimeText(static_cast<std::int32_t>(value.integer())));
        return;
    case Kind::Timestamp:
        AppendJsonString(out, ValueTimestampText(value.real()));
        return;
    case Kind::Bcd:
        AppendJsonString(out, value.text());
        return;
    case Kind::Bytes:
        if (isBinaryType(fieldType))
            AppendJsonString(out, ValueBase64(value.text()));
        else
            AppendJsonString(out, CodePageToUtf8(value.text(), codePage));
        return;
    }
}

std::string ValueDisplayText(const TvxFieldValue& value, int fieldType, int codePage)
{
    using Kind = TvxFieldValue::Kind;
    switch (value.kind()) {
    case Kind::Blank:
        return {};
    case Kind::Integer:
        return std::to_string(value.integer());
    case Kind::Float:
        return ValueNumberText(value.real());
    case Kind::Logical:
        return value.logical() ? "True" : "False";
    case Kind::Date:
        return ValueDateText(static_cast<std::int32_t>(value.integer()));
    case Kind::Time:
        return ValueTimeText(static_cast<std::int32_t>(value.integer()));
    case Kind::Timestamp:
        return ValueTimestampText(value.real());
    case Kind::Bcd:
        return value.text();
    case Kind::Bytes:
        if (isBinaryType(fieldType)) {
            std::string text(1, '(');
            text += std::to_string(value.text().size());
            text += " bytes)";
            return text;
        }
        return displayText(value.text(), codePage);
    }
    return {};
}

} // namespace morvane
