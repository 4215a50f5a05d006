#pragma once
// Text conversion between a table's code page and Windows-1252 (iconv). Code page 0, 1252
// and code pages iconv does not know leave the bytes unchanged; a character without a
// counterpart becomes '?'.

#include <string>
#include <string_view>

namespace morvane {

std::string ConvertCodePage(std::string_view text, int fromCodePage, int toCodePage);
std::string Utf8ToCodePage(std::string_view text, int toCodePage);

} // namespace morvane
