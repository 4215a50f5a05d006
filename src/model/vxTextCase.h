#pragma once
// Letter case of single-byte Windows-1252 texts (names of fields, indexes, rules and tables)
// and the file-name part of a path. Free functions, no state.

#include <string>
#include <string_view>

namespace morvane {

// Upper case of one Windows-1252 character: ASCII letters, the accented letters 0xE0-0xFE
// (0xF7 excepted) and the four letters with their capital in 0x80-0x9F.
constexpr unsigned char UpperChar(unsigned char c)
{
    if (c >= 'a' && c <= 'z')
        return static_cast<unsigned char>(c - 0x20);
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7)
        return static_cast<unsigned char>(c - 0x20);
    switch (c) {
    case 0x9A: return 0x8A;
    case 0x9C: return 0x8C;
    case 0x9E: return 0x8E;
    case 0xFF: return 0x9F;
    default: return c;
    }
}

inline std::string UpperText(std::string_view s)
{
    std::string out(s);
    for (char& c : out)
        c = static_cast<char>(UpperChar(static_cast<unsigned char>(c)));
    return out;
}

// Equal without regard to letter case.
inline bool SameText(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (UpperChar(static_cast<unsigned char>(a[i])) != UpperChar(static_cast<unsigned char>(b[i])))
            return false;
    }
    return true;
}

// The text after the last '/' or '\\' (both separators, whatever the platform).
inline std::string_view StripDirectory(std::string_view path)
{
    const std::size_t cut = path.find_last_of("/\\");
    return cut == std::string_view::npos ? path : path.substr(cut + 1);
}

} // namespace morvane
