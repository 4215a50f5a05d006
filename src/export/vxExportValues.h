#pragma once
// Record values and validity-check values in the forms exports write: the texts of the dump
// (dates ISO, BCD exact, numbers that read back as themselves) with the table's texts in
// UTF-8 unescaped and binary values in base64. Free functions, no state; nothing throws.

#include "db/vxValueDisplay.h" // WriteDateText and its kin, which exports use
#include "model/TvxFieldValue.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace morvane {

// The types exports hold as text (Alpha, Memo), and as bytes (Formatted memo, whose text comes
// with its formatting, Bytes, Binary, OLE, Graphic).
bool IsExportTextType(int fieldType);
bool IsExportBinaryType(int fieldType);

// A text of the table (its code page) in UTF-8.
std::string ExportText(std::string_view bytes, int codePage);

// What a text's NUL bytes become, as no text column holds one: a trailing run is dropped (it
// pads the text), every other NUL becomes SUB (0x1A, the substitute character). Gives how many
// were dropped and how many replaced; both 0 when the text had none.
struct TvxNulChange
{
    std::size_t dropped = 0;
    std::size_t replaced = 0;
};
TvxNulChange ReplaceTextNuls(std::string& bytes);

// out += the value as a CSV cell holds it (before quoting): nothing for a blank; texts in
// UTF-8 as they are (line breaks included); the binary types in base64; the
// other types as the dump prints them (Logical "True"/"False").
void AppendExportText(std::string& out, const TvxFieldValue& value, int fieldType, int codePage);

// What a validity check's area (minimum, maximum or default: the engine's value forms, see
// vxFieldTypes.h) holds for a field of fieldType.
enum class TvxCheckValue {
    Value, // `out` holds it, in the record value forms of TvxFieldValue
    Now,   // TODAY (Date) or NOW (Time, Timestamp)
    None,  // the type has no value form, or the area does not decode (a damaged BCD)
};
TvxCheckValue CheckAreaValue(const std::uint8_t* area, int fieldType, int bcdDecimals, TvxFieldValue& out);

// The engine's 34-byte BCD as an exact decimal text with at least `decimals` places
// ("-12.50", "7"); false for a damaged one (precision over 64, places over precision, a
// nibble over 9).
bool EngineBcdText(const std::uint8_t* bcd, int decimals, std::string& out);

} // namespace morvane
