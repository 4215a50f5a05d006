#pragma once
// The one conversion between the texts records hold (the bytes of a table, in its code page)
// and UTF-8, through the system's tables (platform/TvxCodePageConverter.h). A code page of 0
// or less means that of new tables (Windows-1252); a code page the system does not know is
// read and written as Windows-1252 as well. Safe to call from several threads.

#include <string>
#include <string_view>

namespace morvane {

inline constexpr int vxNewTableCodePage = 1252;
// HP Roman-8 (the text of the driver BLROM800; IBM's number for it), converted by a table of
// our own.
inline constexpr int vxRoman8CodePage = 1051;

// What becomes of a byte (or byte sequence) the code page does not define.
enum class TvxUndefinedBytes {
    Replace,   // U+FFFD: for printing and JSON.
    AsControls // Bytes 0x80-0x9F the code page leaves undefined become the C1 control of the
               // same value (as Windows reads them), which Utf8ToCodePage writes back: texts
               // shown for editing survive a round trip. Anything else undefined is U+FFFD.
};

// Always valid UTF-8.
std::string CodePageToUtf8(std::string_view bytes, int codePage,
                           TvxUndefinedBytes undefined = TvxUndefinedBytes::Replace);

// A character the code page cannot hold, and every byte of invalid UTF-8, becomes '?'.
std::string Utf8ToCodePage(std::string_view utf8, int codePage);

// Well-formed UTF-8: no overlong forms, surrogates or code points past U+10FFFF.
bool IsUtf8(std::string_view text);

} // namespace morvane
