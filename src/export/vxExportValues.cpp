#include "export/vxExportValues.h"

#include "db/vxValueDisplay.h"
#include "model/vxCodePage.h"
#include "model/vxEngineValues.h"
#include "model/vxFieldTypes.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

namespace morvane {

namespace {

template <class T> T little(const std::uint8_t* p)
{
    T v;
    std::memcpy(&v, p, sizeof v); // the engine's areas are little-endian, as is every target
    return v;
}

} // namespace

bool IsExportTextType(int fieldType)
{
    return fieldType == fldAlpha || fieldType == fldMemo;
}

bool IsExportBinaryType(int fieldType)
{
    return fieldType == fldFmtMemo || fieldType == fldBytes || fieldType == fldBinary || fieldType == fldOle ||
           fieldType == fldGraphic;
}

namespace {

bool isAscii(std::string_view bytes)
{
    unsigned char any = 0;
    for (const char c : bytes)
        any = static_cast<unsigned char>(any | static_cast<unsigned char>(c));
    return any < 0x80;
}

} // namespace

std::string ExportText(std::string_view bytes, int codePage)
{
    if (!isAscii(bytes))
        return CodePageToUtf8(bytes, codePage);
    return std::string(bytes); // ASCII reads the same in every code page a table may have
}

TvxNulChange ReplaceTextNuls(std::string& bytes)
{
    TvxNulChange change;
    std::size_t end = bytes.size();
    while (end > 0 && bytes[end - 1] == '\0')
        --end;
    change.dropped = bytes.size() - end;
    bytes.resize(end);
    for (char& c : bytes)
        if (c == '\0') {
            c = '\x1A';
            ++change.replaced;
        }
    return change;
}

void AppendExportText(std::string& out, const TvxFieldValue& value, int fieldType, int codePage)
{
    // Exports format every value of a table: each form is written straight into out.
    using Kind = TvxFieldValue::Kind;
    char text[std::max<std::size_t>(TemporalTextSize, 64)];
    switch (value.kind()) {
    case Kind::Blank:
        return;
    case Kind::Integer:
        out.append(text, std::to_chars(text, text + sizeof text, value.integer()).ptr);
        return;
    case Kind::Float:
        out.append(text, std::to_chars(text, text + sizeof text, value.real()).ptr);
        return;
    case Kind::Logical:
        out += value.logical() ? "True" : "False";
        return;
    case Kind::Date:
        out.append(text, WriteDateText(text, static_cast<std::int32_t>(value.integer())));
        return;
    case Kind::Time:
        out.append(text, WriteTimeText(text, static_cast<std::int32_t>(value.integer())));
        return;
    case Kind::Timestamp:
        out.append(text, WriteTimestampText(text, value.real()));
        return;
    case Kind::Bcd:
        out += value.text();
        return;
    case Kind::Bytes:
        if (IsExportBinaryType(fieldType))
            AppendBase64(out, value.text());
        else if (isAscii(value.text()))
            out += value.text();
        else
            out += CodePageToUtf8(value.text(), codePage);
        return;
    }
}

bool EngineBcdText(const std::uint8_t* bcd, int decimals, std::string& out)
{
    const int precision = bcd[0];
    const int places = bcd[1] & 0x3F;
    if (precision > BcdMaxPrecision || places > precision)
        return false;
    std::string digits;
    for (int i = 0; i < precision; ++i) {
        const int nibble = (i % 2 == 0) ? bcd[2 + i / 2] >> 4 : bcd[2 + i / 2] & 0x0F;
        if (nibble > 9)
            return false;
        digits += static_cast<char>('0' + nibble);
    }
    std::string whole = digits.substr(0, static_cast<std::size_t>(precision - places));
    std::string fraction = digits.substr(static_cast<std::size_t>(precision - places));
    whole.erase(0, std::min(whole.find_first_not_of('0'), whole.size()));
    while (static_cast<int>(fraction.size()) > decimals && fraction.back() == '0')
        fraction.pop_back();
    if (static_cast<int>(fraction.size()) < decimals)
        fraction.append(static_cast<std::size_t>(decimals) - fraction.size(), '0');
    const bool zero = whole.empty() && fraction.find_first_not_of('0') == std::string::npos;
    out.clear();
    if ((bcd[1] & 0x80) && !zero)
        out += '-';
    out += whole.empty() ? "0" : whole;
    if (!fraction.empty())
        out += '.' + fraction;
    return true;
}

TvxCheckValue CheckAreaValue(const std::uint8_t* area, int fieldType, int bcdDecimals, TvxFieldValue& out)
{
    switch (fieldType) {
    case fldAlpha: {
        const void* end = std::memchr(area, 0, 256);
        if (!end)
            return TvxCheckValue::None;
        out = TvxFieldValue::Bytes(
            std::string(reinterpret_cast<const char*>(area), static_cast<const std::uint8_t*>(end) - area));
        return TvxCheckValue::Value;
    }
    case fldNumber:
    case fldMoney:
        out = TvxFieldValue::Float(little<double>(area));
        return TvxCheckValue::Value;
    case fldShort:
        out = TvxFieldValue::Integer(little<std::int16_t>(area));
        return TvxCheckValue::Value;
    case fldLong:
    case fldAutoInc:
        out = TvxFieldValue::Integer(little<std::int32_t>(area));
        return TvxCheckValue::Value;
    case fldDate:
    case fldTime: {
        const auto v = little<std::int32_t>(area);
        if (v == -1)
            return TvxCheckValue::Now;
        out = fieldType == fldDate ? TvxFieldValue::Date(v) : TvxFieldValue::Time(v);
        return TvxCheckValue::Value;
    }
    case fldTimestamp: {
        const auto v = little<double>(area);
        if (v == 0)
            return TvxCheckValue::Now;
        out = TvxFieldValue::Timestamp(v);
        return TvxCheckValue::Value;
    }
    case fldLogical:
        out = TvxFieldValue::Logical(area[0] != 0);
        return TvxCheckValue::Value;
    case fldBcd: {
        std::string text;
        if (!EngineBcdText(area, bcdDecimals, text))
            return TvxCheckValue::None;
        out = TvxFieldValue::Bcd(std::move(text));
        return TvxCheckValue::Value;
    }
    default:
        return TvxCheckValue::None;
    }
}

} // namespace morvane
