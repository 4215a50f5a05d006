#pragma once
// The one rule for the names of tables (file names without extension, in the table's bytes):
// what a file system and the engine can hold. Free functions, no state.

#include <cstddef>
#include <string>
#include <string_view>

namespace morvane {

// Longest field name, in bytes (what a table header holds).
inline constexpr std::size_t MaxFieldNameBytes = 25;

// Longest table name, in bytes: its longest family file ("NAME.VAL") stays within a file
// name's 255 bytes.
inline constexpr std::size_t MaxTableNameBytes = 251;

enum class TvxNameFault {
    None,
    Empty,
    TooLong,     // past MaxTableNameBytes (field names: MaxFieldNameBytes)
    Separator,   // / or \ (a name is never a path)
    Forbidden,   // one of : * ? " < > |
    Control,     // a byte below 0x20 or 0x7F
    Dots,        // "." or ".."
    DeviceName,  // CON, PRN, AUX, NUL, COM1-9, LPT1-9, with or without an extension
    TrailingDot, // a name ending in a dot or a space, which Windows drops
};

TvxNameFault TableNameFault(std::string_view name);
// Field names: Empty, TooLong or Control (a field name is no file name).
TvxNameFault FieldNameFault(std::string_view name);
// The fault in English, for messages ("contains a path separator"); empty for None.
std::string NameFaultText(TvxNameFault fault);
// "table name \"x\" is not allowed: <fault>" (field name: "field name ..."); empty when the
// name is sound. name: UTF-8 or the table's bytes (shown as given).
std::string TableNameProblem(std::string_view name);
std::string FieldNameProblem(std::string_view name);

} // namespace morvane
