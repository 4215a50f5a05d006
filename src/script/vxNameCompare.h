#pragma once
// The two ways the scripts compare table and field names: upper-case equal (only the letters
// a-z mapped to A-Z, then byte for byte) and exactly equal (byte for byte).

#include <string_view>

namespace morvane {

inline char UpperAscii(char c)
{
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

inline bool UpperCaseEqual(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (UpperAscii(a[i]) != UpperAscii(b[i]))
            return false;
    return true;
}

inline bool ExactlyEqual(std::string_view a, std::string_view b)
{
    return a == b;
}

} // namespace morvane
