#pragma once
// Text typed by the user (UTF-8) in a table's code page, through iconv. Code page 0 and code
// pages iconv does not know leave the bytes unchanged; a character without a counterpart
// becomes '?'.

#include <string>
#include <string_view>

namespace morvane {

std::string Utf8ToCodePage(std::string_view text, int toCodePage);

} // namespace morvane
