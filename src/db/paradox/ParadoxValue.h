#pragma once
// Values in the record encoding of Paradox files (big-endian, sign bit inverted) turned into
// the native forms of a validity check's 256-byte value area.

#include <cstddef>
#include <cstdint>

#include "db/paradox/ParadoxTableHeader.h"

namespace morvane {

// disk: the field's length in bytes. Fills area (zeroed first) with the native value of
// the field's type; returns false for types without a value form (blobs, Bytes) or a BCD
// that does not convert.
bool ParadoxValueToNative(const ParadoxField& field, const std::uint8_t* disk, std::size_t length,
                          std::uint8_t* area);

// Decoders of the record encoding, exposed for tests.
std::int64_t ParadoxDecodeInteger(const std::uint8_t* disk, std::size_t length);
double ParadoxDecodeDouble(const std::uint8_t* disk);
double ParadoxDecodeBcd(const std::uint8_t* disk, int decimals);

} // namespace morvane
