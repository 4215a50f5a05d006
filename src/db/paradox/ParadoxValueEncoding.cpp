#include "db/paradox/ParadoxValueEncoding.h"

#include "model/vxEngineValues.h"

#include <cmath>
#include <cstring>
#include <limits>

namespace morvane {

namespace {

constexpr int BcdDigits = 32;
constexpr std::size_t BcdBytes = 17;
constexpr std::uint8_t BcdPositive = 0xC0;
constexpr std::uint8_t BcdNegative = 0x40;
constexpr std::int64_t MaxShort = 32767;
constexpr std::int64_t MaxLong = 2147483647;

std::string quoted(std::string_view text)
{
    std::string q;
    q.reserve(text.size() + 2);
    q.push_back('"');
    q.append(text);
    q.push_back('"');
    return q;
}

bool fail(std::string& why, std::string text)
{
    why = std::move(text);
    return false;
}

std::int64_t leInteger(const std::uint8_t* p, std::size_t bytes)
{
    std::uint64_t v = 0;
    for (std::size_t i = bytes; i-- > 0;)
        v = (v << 8) | p[i];
    const unsigned bits = static_cast<unsigned>(8 * bytes);
    if (bits < 64 && (v & (std::uint64_t{1} << (bits - 1))))
        v |= ~std::uint64_t{0} << bits;
    return static_cast<std::int64_t>(v);
}

double leDouble(const std::uint8_t* p)
{
    double d = 0;
    std::memcpy(&d, p, sizeof d); // value areas are little-endian, as this machine
    return d;
}

bool encodeRanged(std::int64_t v, std::int64_t max, std::size_t bytes, std::uint8_t* out, std::string& why)
{
    if (v < -max || v > max)
        return fail(why, "value " + std::to_string(v) + " is outside -" + std::to_string(max) + ".." +
                             std::to_string(max));
    ParadoxEncodeInteger(v, bytes, out);
    return true;
}

bool encodeFinite(double v, std::uint8_t* out, std::string& why)
{
    if (!std::isfinite(v))
        return fail(why, "value is not a finite number");
    ParadoxEncodeDouble(v, out);
    return true;
}

// The engine's 34-byte BCD (left-aligned digits) as decimal text.
bool engineBcdText(const std::uint8_t* bcd, std::string& text, std::string& why)
{
    const int precision = bcd[0];
    const int places = bcd[1] & 0x3F;
    if (precision < 1 || precision > BcdMaxPrecision || places > precision)
        return fail(why, "damaged decimal value");
    text.clear();
    if (bcd[1] & 0x80)
        text += '-';
    for (int k = 0; k < precision; ++k) {
        const int nibble = k % 2 == 0 ? bcd[2 + k / 2] >> 4 : bcd[2 + k / 2] & 0x0F;
        if (nibble > 9)
            return fail(why, "damaged decimal value");
        if (k == precision - places)
            text += k == 0 ? "0." : ".";
        text += static_cast<char>('0' + nibble);
    }
    return true;
}

} // namespace

void ParadoxEncodeInteger(std::int64_t v, std::size_t bytes, std::uint8_t* out)
{
    auto u = static_cast<std::uint64_t>(v);
    for (std::size_t i = bytes; i-- > 0; u >>= 8)
        out[i] = static_cast<std::uint8_t>(u);
    out[0] ^= 0x80;
}

void ParadoxEncodeDouble(double v, std::uint8_t* out)
{
    if (v == 0.0)
        v = 0.0; // -0.0 too
    std::uint64_t bits = 0;
    std::memcpy(&bits, &v, sizeof bits);
    bits = (bits >> 63) ? ~bits : (bits | (std::uint64_t{1} << 63));
    for (int i = 7; i >= 0; --i, bits >>= 8)
        out[i] = static_cast<std::uint8_t>(bits);
}

bool ParadoxEncodeBcd(std::string_view text, int decimals, std::uint8_t* out, std::string& why)
{
    std::memset(out, 0, BcdBytes);
    if (decimals < 0 || decimals > BcdDigits)
        return fail(why, "field has " + std::to_string(decimals) + " decimals");
    bool negative = false;
    std::string_view s = text;
    if (!s.empty() && s.front() == '-') {
        negative = true;
        s.remove_prefix(1);
    }
    const std::size_t dot = s.find('.');
    std::string_view whole = s.substr(0, dot);
    std::string_view fraction = dot == std::string_view::npos ? std::string_view{} : s.substr(dot + 1);
    const auto digitsOnly = [](std::string_view d) {
        for (char c : d)
            if (c < '0' || c > '9')
                return false;
        return true;
    };
    if ((whole.empty() && fraction.empty()) || !digitsOnly(whole) || !digitsOnly(fraction) ||
        (dot != std::string_view::npos && fraction.empty()))
        return fail(why, quoted(text) + " is not a decimal number");
    while (fraction.size() > static_cast<std::size_t>(decimals) && fraction.back() == '0')
        fraction.remove_suffix(1);
    if (fraction.size() > static_cast<std::size_t>(decimals))
        return fail(why, quoted(text) + " has more than " + std::to_string(decimals) + " decimals");
    while (!whole.empty() && whole.front() == '0')
        whole.remove_prefix(1);
    if (whole.size() + static_cast<std::size_t>(decimals) > BcdDigits)
        return fail(why, quoted(text) + " has more than " + std::to_string(BcdDigits - decimals) +
                             " integer digits");

    // Nibbles right-aligned: the last `decimals` are the fraction.
    int nibbles[BcdDigits] = {};
    const int intEnd = BcdDigits - decimals;
    for (std::size_t i = 0; i < whole.size(); ++i)
        nibbles[intEnd - static_cast<int>(whole.size()) + static_cast<int>(i)] = whole[i] - '0';
    bool zero = whole.empty();
    for (std::size_t i = 0; i < fraction.size(); ++i) {
        nibbles[intEnd + static_cast<int>(i)] = fraction[i] - '0';
        zero = zero && fraction[i] == '0';
    }
    negative = negative && !zero;
    out[0] = static_cast<std::uint8_t>((negative ? BcdNegative : BcdPositive) | decimals);
    for (int i = 0; i < BcdDigits; ++i) {
        const int n = negative ? nibbles[i] ^ 0x0F : nibbles[i];
        out[1 + i / 2] |= static_cast<std::uint8_t>(i % 2 == 0 ? n << 4 : n);
    }
    return true;
}

bool ParadoxEncodeValue(const ParadoxField& field, const TvxFieldValue& value, std::uint8_t* out, std::string& why)
{
    const auto length = static_cast<std::size_t>(field.length());
    std::memset(out, 0, length);
    if (value.isBlank())
        return true;
    using K = TvxFieldValue::Kind;
    const K kind = value.kind();
    const auto wrongKind = [&] { return fail(why, "value of the wrong kind for the field's type"); };
    switch (field.type) {
    case pxAlpha:
    case pxBytes:
        if (kind != K::Bytes)
            return wrongKind();
        if (value.text().size() > length)
            return fail(why, std::to_string(value.text().size()) + " bytes do not fit the field's " +
                                 std::to_string(length));
        std::memcpy(out, value.text().data(), value.text().size());
        return true;
    case pxShort:
        if (kind != K::Integer)
            return wrongKind();
        return encodeRanged(value.integer(), MaxShort, 2, out, why);
    case pxLong:
    case pxAutoInc:
        if (kind != K::Integer)
            return wrongKind();
        return encodeRanged(value.integer(), MaxLong, 4, out, why);
    case pxDate:
        if (kind != K::Date)
            return wrongKind();
        return encodeRanged(value.integer(), MaxLong, 4, out, why);
    case pxTime:
        if (kind != K::Time)
            return wrongKind();
        return encodeRanged(value.integer(), MaxLong, 4, out, why);
    case pxNumber:
    case pxMoney:
        if (kind == K::Integer)
            return encodeFinite(static_cast<double>(value.integer()), out, why);
        if (kind != K::Float)
            return wrongKind();
        return encodeFinite(value.real(), out, why);
    case pxTimestamp:
        if (kind != K::Timestamp)
            return wrongKind();
        return encodeFinite(value.real(), out, why);
    case pxLogical:
        if (kind != K::Logical)
            return wrongKind();
        out[0] = value.logical() ? 0x81 : 0x80;
        return true;
    case pxBcd:
        if (kind == K::Integer)
            return ParadoxEncodeBcd(std::to_string(value.integer()), field.size, out, why);
        if (kind != K::Bcd)
            return wrongKind();
        return ParadoxEncodeBcd(value.text(), field.size, out, why);
    default:
        return fail(why, "blob and unknown types are not record values");
    }
}

bool ParadoxNativeToDisk(const ParadoxField& field, const std::uint8_t* area, std::uint8_t* out, std::string& why)
{
    const auto length = static_cast<std::size_t>(field.length());
    std::memset(out, 0, length);
    switch (field.type) {
    case pxAlpha:
        std::memcpy(out, area, strnlen(reinterpret_cast<const char*>(area), length));
        return true;
    case pxShort:
        return encodeRanged(leInteger(area, 2), MaxShort, 2, out, why);
    case pxLong:
    case pxAutoInc:
        return encodeRanged(leInteger(area, 4), MaxLong, 4, out, why);
    case pxDate:
    case pxTime:
        if (leInteger(area, 4) == -1)
            return fail(why, field.type == pxDate ? "TODAY has no known form in a validity file"
                                                  : "NOW has no known form in a validity file");
        return encodeRanged(leInteger(area, 4), MaxLong, 4, out, why);
    case pxTimestamp:
        if (leDouble(area) == 0.0)
            return fail(why, "NOW has no known form in a validity file");
        return encodeFinite(leDouble(area), out, why);
    case pxNumber:
    case pxMoney:
        return encodeFinite(leDouble(area), out, why);
    case pxLogical:
        out[0] = area[0] != 0 ? 0x81 : 0x80;
        return true;
    case pxBcd: {
        std::string text;
        return engineBcdText(area, text, why) && ParadoxEncodeBcd(text, field.size, out, why);
    }
    default:
        return fail(why, "the field's type has no value in validity checks");
    }
}

} // namespace morvane
