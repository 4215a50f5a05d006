#pragma once
// Values in the record encoding of Paradox files (big-endian, sign bit inverted): decoders
// of records and index keys, and the native forms of a validity check's 256-byte value area.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "db/paradox/ParadoxTableHeader.h"

namespace morvane {

// disk: the field's length in bytes. Fills area (zeroed first) with the native value of
// the field's type; returns false for types without a value form (blobs, Bytes) or a BCD
// that does not convert.
bool ParadoxValueToNative(const ParadoxField& field, const std::uint8_t* disk, std::size_t length,
                          std::uint8_t* area);

// Decoders of the record encoding; a blank (all-zero) value gives 0.
std::int64_t ParadoxDecodeInteger(const std::uint8_t* disk, std::size_t length);
double ParadoxDecodeDouble(const std::uint8_t* disk);
double ParadoxDecodeBcd(const std::uint8_t* disk, int decimals);

// The exact decimal text of a 17-byte BCD value of a field with `decimals` decimals: optional
// "-", the integer digits without leading zeros ("0" when none), then "." and exactly
// `decimals` digits when there are any ("-12.50", "7", "0.000"); zero has no sign. False
// (out unspecified) for a blank value or a damaged one (another number of decimals in byte 0,
// a nibble over 9). Given imprecise, a value whose first digit is sound reads the digits before
// its first nibble over 9 (the rest as 0), and *imprecise tells whether it did.
bool ParadoxBcdToText(const std::uint8_t* disk, int decimals, std::string& out, bool* imprecise = nullptr);

// Big-endian words of the record encoding.
inline std::uint16_t ParadoxBe16(const std::uint8_t* p)
{
    return static_cast<std::uint16_t>((p[0] << 8) | p[1]);
}
inline std::uint32_t ParadoxBe32(const std::uint8_t* p)
{
    return (static_cast<std::uint32_t>(p[0]) << 24) | (static_cast<std::uint32_t>(p[1]) << 16) |
           (static_cast<std::uint32_t>(p[2]) << 8) | p[3];
}
inline std::uint64_t ParadoxBe64(const std::uint8_t* p)
{
    return (static_cast<std::uint64_t>(ParadoxBe32(p)) << 32) | ParadoxBe32(p + 4);
}
// A non-blank double value (Number, Money, Timestamp) from its 8 encoded bytes.
inline double ParadoxDoubleFromBits(std::uint64_t encoded)
{
    const std::uint64_t sign = std::uint64_t{1} << 63;
    const std::uint64_t bits = (encoded & sign) ? (encoded & ~sign) : ~encoded;
    double d = 0;
    std::memcpy(&d, &bits, sizeof d);
    return d;
}

} // namespace morvane
