#include "db/paradox/ParadoxValue.h"

#include "model/vxFieldTypes.h"

#include <algorithm>
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
    const std::uint8_t flip = negative ? 0x0F : 0x00;
    char digits[32];
    for (int i = 0; i < 32; ++i) {
        const std::uint8_t byte = disk[1 + i / 2];
        const std::uint8_t nibble = static_cast<std::uint8_t>(((i % 2) ? byte : byte >> 4) & 0x0F) ^ flip;
        if (nibble > 9 && (!imprecise || i == 0))
            return false;
        if (nibble > 9 && !*imprecise) // digits past the engine's precision: the sound ones stand
            *imprecise = true;
        digits[i] = imprecise && *imprecise ? '0' : static_cast<char>('0' + nibble);
    }
    const int integerDigits = 32 - decimals;
    int first = 0;
    while (first < integerDigits && digits[first] == '0')
        ++first;
    bool zero = first == integerDigits;
    for (int i = integerDigits; zero && i < 32; ++i)
        zero = digits[i] == '0';
    out.clear();
    if (negative && !zero)
        out += '-';
    if (first == integerDigits)
        out += '0';
    else
        out.append(digits + first, static_cast<std::size_t>(integerDigits - first));
    if (decimals > 0) {
        out += '.';
        out.append(digits + integerDigits, static_cast<std::size_t>(decimals));
    }
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
