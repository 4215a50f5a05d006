#pragma once
// The record encoding of the writer (big-endian, sign bit inverted; null = all zero bytes):
// a record value (TvxFieldValue) into the bytes of its field, and a validity check's native
// value area into the bytes a .VAL holds. Every encoder refuses rather than changes a value:
// a failure returns false with the reason in `why`, the output left zero. Blob fields are
// encoded by ParadoxBlobWriter.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "db/paradox/ParadoxTableHeader.h"
#include "model/TvxFieldValue.h"

namespace morvane {

// v in the field's range (Short -32767..32767, Long -2^31+1..2^31-1: the lowest value would
// read as null). bytes: 2 or 4.
void ParadoxEncodeInteger(std::int64_t v, std::size_t bytes, std::uint8_t* out);
// A finite double; -0.0 is written as +0.0 so that zero has one encoding.
void ParadoxEncodeDouble(double v, std::uint8_t* out);
// text: optional '-', digits, optional '.' and at most `decimals` digits (fewer are padded
// with zeros); at most 32 digits in all. 17 bytes out.
bool ParadoxEncodeBcd(std::string_view text, int decimals, std::uint8_t* out, std::string& why);

// Every type but the blobs: out receives field.length() bytes.
bool ParadoxEncodeValue(const ParadoxField& field, const TvxFieldValue& value, std::uint8_t* out, std::string& why);

// A validity check's value area (the native forms of vxFieldTypes.h) into field.length() bytes.
// Dates of -1 (TODAY), times of -1 and timestamps of 0 (NOW) have no known disk form and
// are refused.
bool ParadoxNativeToDisk(const ParadoxField& field, const std::uint8_t* area, std::uint8_t* out, std::string& why);

} // namespace morvane
