#include "db/paradox/ParadoxValue.h"

#include "model/vxFieldTypes.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>

namespace morvane {

namespace {

void putLE(std::uint8_t* area, std::uint64_t v, std::size_t bytes)
{
    for (std::size_t i = 0; i < bytes; ++i)
        area[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

void putDouble(std::uint8_t* area, double d)
{
    std::uint64_t bits = 0;
    std::memcpy(&bits, &d, sizeof bits);
    putLE(area, bits, 8);
}

// The 16 nibbles of word, the top one first, as the digit characters they hold (each 0 to 9).
void putDigitNibbles(char* out, std::uint64_t word)
{
    for (int half = 0; half < 2; ++half) {
        // Spread 8 nibbles over 8 bytes, the lowest nibble in the lowest byte; the top byte
        // goes first.
        std::uint64_t x = (word >> (half == 0 ? 32 : 0)) & 0xFFFFFFFFULL;
        x = (x | (x << 16)) & 0x0000FFFF0000FFFFULL;
        x = (x | (x << 8)) & 0x00FF00FF00FF00FFULL;
        x = (x | (x << 4)) & 0x0F0F0F0F0F0F0F0FULL;
        x += 0x3030303030303030ULL;
        for (int i = 0; i < 8; ++i)
            out[8 * half + i] = static_cast<char>(x >> (56 - 8 * i));
    }
}

bool allZero(const std::uint8_t* p, std::size_t n)
{
    for (std::size_t i = 0; i < n; ++i)
        if (p[i] != 0)
            return false;
    return true;
}

} // namespace

std::int64_t ParadoxDecodeInteger(const std::uint8_t* disk, std::size_t length)
{
    if (length == 0 || length > 8 || allZero(disk, length))
        return 0;
    std::uint64_t raw = 0;
    for (std::size_t i = 0; i < length; ++i)
        raw = (raw << 8) | disk[i];
    const unsigned bits = static_cast<unsigned>(8 * length);
    raw ^= std::uint64_t{1} << (bits - 1);
    if (bits < 64 && (raw & (std::uint64_t{1} << (bits - 1))))
        raw |= ~std::uint64_t{0} << bits; // sign extension
    return static_cast<std::int64_t>(raw);
}

double ParadoxDecodeDouble(const std::uint8_t* disk)
{
    std::uint8_t b[8];
    std::memcpy(b, disk, 8);
    if (allZero(b, 8))
        return 0.0;
    if (b[0] & 0x80) {
        b[0] &= 0x7F;
    } else {
        for (auto& x : b)
            x = static_cast<std::uint8_t>(~x);
    }
    std::uint64_t bits = 0;
    for (auto x : b)
        bits = (bits << 8) | x;
    double d = 0;
    std::memcpy(&d, &bits, sizeof d);
    return d;
}

double ParadoxDecodeBcd(const std::uint8_t* disk, int decimals)
{
    if (disk[0] == 0)
        return 0.0;
    const bool negative = (disk[0] & 0x80) == 0;
    long double value = 0;
    for (int i = 0; i < 32; ++i) {
        int nibble = (disk[1 + i / 2] >> ((i % 2) ? 0 : 4)) & 0x0F;
        if (negative)
            nibble ^= 0x0F;
        if (nibble > 9)
            return std::nan("");
        value = value * 10 + nibble;
    }
    value /= std::pow(10.0L, decimals);
    return static_cast<double>(negative ? -value : value);
}

bool ParadoxBcdToText(const std::uint8_t* disk, int decimals, std::string& out, bool* imprecise)
{
    if (imprecise)
        *imprecise = false;
    if (disk[0] == 0 || (disk[0] & 0x3F) != decimals || decimals < 0 || decimals > 32)
        return false;
    const bool negative = (disk[0] & 0x80) == 0;
    // The 32 digits as two words of 16 nibbles each, the first digit on top; a negative
    // value's are stored complemented.
    std::uint64_t high = ParadoxBe64(disk + 1);
    std::uint64_t low = ParadoxBe64(disk + 9);
    if (negative) {
        high = ~high;
        low = ~low;
    }
    // A nibble over 9 carries into bit 4 of its byte when 6 is added to it.
    constexpr std::uint64_t Nibbles = 0x0F0F0F0F0F0F0F0FULL;
    constexpr std::uint64_t Sixes = 0x0606060606060606ULL;
    constexpr std::uint64_t Carries = 0x1010101010101010ULL;
    const std::uint64_t carried = ((high & Nibbles) + Sixes) | (((high >> 4) & Nibbles) + Sixes) |
                                  ((low & Nibbles) + Sixes) | (((low >> 4) & Nibbles) + Sixes);
    if (carried & Carries) {
        if (!imprecise)
            return false;
        // Digits past the engine's precision: the sound ones before the first non-digit stand.
        int bad = 0;
        while (bad < 32 && (((bad < 16 ? high : low) >> (60 - 4 * (bad % 16))) & 0x0F) <= 9)
            ++bad;
        if (bad == 0)
            return false;
        *imprecise = true;
        if (bad < 16) {
            high &= ~std::uint64_t{0} << (64 - 4 * bad);
            low = 0;
        } else {
            low = bad == 16 ? 0 : low & (~std::uint64_t{0} << (64 - 4 * (bad - 16)));
        }
    }
    char digits[32];
    putDigitNibbles(digits, high);
    putDigitNibbles(digits + 16, low);

    const int integerDigits = 32 - decimals;
    const int leadingZeros = high != 0 ? std::countl_zero(high) / 4
                             : low != 0 ? 16 + std::countl_zero(low) / 4
                                        : 32;
    const int first = std::min(leadingZeros, integerDigits);
    char text[36];
    char* p = text;
    if (negative && leadingZeros < 32)
        *p++ = '-';
    if (first == integerDigits)
        *p++ = '0';
    else {
        std::memcpy(p, digits + first, static_cast<std::size_t>(integerDigits - first));
        p += integerDigits - first;
    }
    if (decimals > 0) {
        *p++ = '.';
        std::memcpy(p, digits + integerDigits, static_cast<std::size_t>(decimals));
        p += decimals;
    }
    out.assign(text, static_cast<std::size_t>(p - text));
    return true;
}

bool ParadoxValueToNative(const ParadoxField& field, const std::uint8_t* disk, std::size_t length,
                          std::uint8_t* area)
{
    std::memset(area, 0, TvxValCheckDesc::AreaSize);
    if (length != static_cast<std::size_t>(field.length()))
        return false;
    switch (field.type) {
    case pxAlpha:
        std::memcpy(area, disk, std::min<std::size_t>(length, TvxValCheckDesc::AreaSize - 1));
        return true;
    case pxShort:
        putLE(area, static_cast<std::uint64_t>(ParadoxDecodeInteger(disk, 2)), 2);
        return true;
    case pxLong: case pxAutoInc: case pxDate: case pxTime:
        putLE(area, static_cast<std::uint64_t>(ParadoxDecodeInteger(disk, 4)), 4);
        return true;
    case pxNumber: case pxMoney: case pxTimestamp:
        putDouble(area, ParadoxDecodeDouble(disk));
        return true;
    case pxLogical:
        area[0] = (disk[0] & 0x7F) != 0 ? 1 : 0;
        return true;
    case pxBcd: {
        const double v = ParadoxDecodeBcd(disk, field.size);
        return !std::isnan(v) && DoubleToBcd(v, 32, field.size, area);
    }
    default:
        return false;
    }
}

} // namespace morvane
