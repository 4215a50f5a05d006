#include "server/vxCheckValues.h"

#include <cstring>

#include "model/TvxValCheckDesc.h"
#include "model/vxEngineValues.h"
#include "model/vxFieldTypes.h"
#include "server/vxDecimalText.h"

namespace morvane {

namespace {

constexpr std::size_t AreaSize = TvxValCheckDesc::AreaSize;

std::int64_t ReadLe(const std::uint8_t* p, int bytes)
{
    std::uint64_t v = 0;
    for (int i = bytes - 1; i >= 0; --i)
        v = (v << 8) | p[i];
    if (bytes < 8 && (v >> (8 * bytes - 1)) != 0)
        v |= ~std::uint64_t(0) << (8 * bytes);
    return static_cast<std::int64_t>(v);
}

void WriteLe(std::uint8_t* p, std::int64_t value, int bytes)
{
    const auto v = static_cast<std::uint64_t>(value);
    for (int i = 0; i < bytes; ++i)
        p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

double ReadDouble(const std::uint8_t* p)
{
    double v = 0;
    std::memcpy(&v, p, sizeof v);
    return v;
}

void WriteDouble(std::uint8_t* p, double v)
{
    std::memcpy(p, &v, sizeof v);
}

// The engine BCD as an exact decimal text with `decimals` places.
bool BcdAreaToText(const std::uint8_t* bcd, int decimals, std::string& text)
{
    const int precision = bcd[0];
    const int places = bcd[1] & 0x3F;
    if (precision > BcdMaxPrecision || places > precision)
        return false;
    TvxDecimal d;
    d.negative = (bcd[1] & 0x80) != 0;
    for (int k = 0; k < precision; ++k) {
        const int nibble = k % 2 == 0 ? bcd[2 + k / 2] >> 4 : bcd[2 + k / 2] & 0x0F;
        if (nibble > 9)
            return false;
        (k < precision - places ? d.whole : d.fraction) += static_cast<char>('0' + nibble);
    }
    const std::optional<TvxDecimal> n = ParseDecimal(FormatDecimal(d, places));
    if (!n)
        return false;
    bool dropped = false;
    const TvxDecimal r = RoundDecimal(*n, decimals, dropped);
    if (!FitsBcd(r, decimals))
        return false;
    text = FormatDecimal(r, decimals);
    return true;
}

bool TextToBcdArea(const std::string& text, int decimals, std::uint8_t* bcd)
{
    const std::optional<TvxDecimal> d = ParseDecimal(text);
    if (!d || decimals < 0 || decimals > vxBcdDigits)
        return false;
    bool dropped = false;
    const TvxDecimal r = RoundDecimal(*d, decimals, dropped);
    if (!FitsBcd(r, decimals))
        return false;
    const int precision = vxBcdDigits;
    std::string digits = r.whole;
    std::string frac = r.fraction;
    frac.append(static_cast<std::size_t>(decimals) - frac.size(), '0');
    digits.insert(0, static_cast<std::size_t>(precision - decimals) - digits.size(), '0');
    digits += frac;
    std::memset(bcd, 0, BcdSize);
    bcd[0] = static_cast<std::uint8_t>(precision);
    bcd[1] = static_cast<std::uint8_t>((r.negative && !IsZero(r) ? 0x80 : 0) | decimals);
    for (int k = 0; k < precision; ++k) {
        const auto nibble = static_cast<std::uint8_t>(digits[static_cast<std::size_t>(k)] - '0');
        bcd[2 + k / 2] |= k % 2 == 0 ? static_cast<std::uint8_t>(nibble << 4) : nibble;
    }
    return true;
}

} // namespace

TvxAreaValue AreaToValue(const std::uint8_t* area, int type, int bcdDecimals, TvxFieldValue& out)
{
    out.setBlank();
    switch (type) {
    case fldAlpha: {
        const std::size_t n = strnlen(reinterpret_cast<const char*>(area), AreaSize);
        if (n > 0)
            out = TvxFieldValue::Bytes(std::string(reinterpret_cast<const char*>(area), n));
        return TvxAreaValue::Value;
    }
    case fldNumber:
    case fldMoney: out = TvxFieldValue::Float(ReadDouble(area)); return TvxAreaValue::Value;
    case fldShort: out = TvxFieldValue::Integer(ReadLe(area, 2)); return TvxAreaValue::Value;
    case fldLong:
    case fldAutoInc: out = TvxFieldValue::Integer(ReadLe(area, 4)); return TvxAreaValue::Value;
    case fldDate: {
        const auto v = static_cast<std::int32_t>(ReadLe(area, 4));
        if (v < 0)
            return TvxAreaValue::Now;
        out = TvxFieldValue::Date(v);
        return TvxAreaValue::Value;
    }
    case fldTime: {
        const auto v = static_cast<std::int32_t>(ReadLe(area, 4));
        if (v < 0)
            return TvxAreaValue::Now;
        out = TvxFieldValue::Time(v);
        return TvxAreaValue::Value;
    }
    case fldTimestamp: {
        const double v = ReadDouble(area);
        if (v == 0.0)
            return TvxAreaValue::Now;
        out = TvxFieldValue::Timestamp(v);
        return TvxAreaValue::Value;
    }
    case fldLogical: out = TvxFieldValue::Logical(area[0] != 0); return TvxAreaValue::Value;
    case fldBcd: {
        std::string text;
        if (!BcdAreaToText(area, bcdDecimals, text))
            return TvxAreaValue::None;
        out = TvxFieldValue::Bcd(std::move(text));
        return TvxAreaValue::Value;
    }
    default: return TvxAreaValue::None;
    }
}

bool ValueToArea(const TvxFieldValue& value, int type, int bcdDecimals, std::uint8_t* area)
{
    std::memset(area, 0, AreaSize);
    if (value.isBlank())
        return true;
    switch (type) {
    case fldAlpha: {
        const std::size_t n = std::min(value.text().size(), AreaSize - 1);
        std::memcpy(area, value.text().data(), n);
        return true;
    }
    case fldNumber:
    case fldMoney: WriteDouble(area, value.real()); return true;
    case fldShort: WriteLe(area, value.integer(), 2); return true;
    case fldLong:
    case fldAutoInc:
    case fldDate:
    case fldTime: WriteLe(area, value.integer(), 4); return true;
    case fldTimestamp: WriteDouble(area, value.real()); return true;
    case fldLogical: area[0] = value.logical() ? 1 : 0; return true;
    case fldBcd: return TextToBcdArea(value.text(), bcdDecimals, area);
    default: return false;
    }
}

} // namespace morvane
