#pragma once
// Values in Paradox record encoding, as .VAL files hold minimum, maximum and default:
// big-endian with the sign bit inverted for integers and doubles, text NUL-padded to the
// field's length, BCD as 17 bytes of nibbles.

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace example {

inline std::vector<std::uint8_t> DiskInteger(std::int64_t value, int bytes)
{
    std::vector<std::uint8_t> out(static_cast<std::size_t>(bytes));
    auto u = static_cast<std::uint64_t>(value);
    for (int i = bytes - 1; i >= 0; --i, u >>= 8)
        out[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(u & 0xFF);
    out[0] ^= 0x80;
    return out;
}
inline std::vector<std::uint8_t> DiskShort(int value) { return DiskInteger(value, 2); }
inline std::vector<std::uint8_t> DiskLong(std::int32_t value) { return DiskInteger(value, 4); }

// Number, Money, Timestamp.
inline std::vector<std::uint8_t> DiskDouble(double value)
{
    std::uint64_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    bits = (bits >> 63) ? ~bits : (bits | (1ULL << 63));
    std::vector<std::uint8_t> out(8);
    for (int i = 7; i >= 0; --i, bits >>= 8)
        out[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(bits & 0xFF);
    return out;
}

inline std::vector<std::uint8_t> DiskLogical(bool value) { return {static_cast<std::uint8_t>(value ? 0x81 : 0x80)}; }

// Text in the table's code page, cut or NUL-padded to the field's length.
inline std::vector<std::uint8_t> DiskAlpha(const std::string& text, int length)
{
    std::vector<std::uint8_t> out(static_cast<std::size_t>(length), 0);
    std::memcpy(out.data(), text.data(), std::min(text.size(), out.size()));
    return out;
}

// Day number with 1 January of year 1 = day 1 (proleptic Gregorian).
inline std::int32_t DayNumber(int year, int month, int day)
{
    const int a = (14 - month) / 12;
    const long y = year + 4800 - a;
    const int m = month + 12 * a - 3;
    const long julian = day + (153 * m + 2) / 5 + 365 * y + y / 4 - y / 100 + y / 400 - 32045;
    return static_cast<std::int32_t>(julian - 1721425);
}
inline std::vector<std::uint8_t> DiskDate(int year, int month, int day) { return DiskLong(DayNumber(year, month, day)); }
inline std::vector<std::uint8_t> DiskTime(int hour, int minute, int second)
{
    return DiskLong((hour * 3600 + minute * 60 + second) * 1000);
}

// A non-negative amount given in hundredths (or other units of 10^-decimals), e.g. 5000
// with 2 decimals = 50.00.
inline std::vector<std::uint8_t> DiskBcd(std::uint64_t units, int decimals)
{
    std::vector<std::uint8_t> out(17, 0);
    out[0] = static_cast<std::uint8_t>(0xC0 | (decimals & 0x3F));
    for (int nibble = 31; nibble >= 0 && units > 0; --nibble, units /= 10) {
        const auto digit = static_cast<std::uint8_t>(units % 10);
        auto& byte = out[1 + static_cast<std::size_t>(nibble / 2)];
        byte |= (nibble % 2) ? digit : static_cast<std::uint8_t>(digit << 4);
    }
    return out;
}

} // namespace example
