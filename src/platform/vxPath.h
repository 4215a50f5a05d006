#pragma once
// UTF-8 paths as std::filesystem takes them and gives them back, alike on every system (a
// narrow path would be read in the Windows code page there).

#include <filesystem>
#include <string>
#include <string_view>

namespace morvane {

inline std::filesystem::path vxPath(std::string_view utf8)
{
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

inline std::string vxPathString(const std::filesystem::path& path)
{
    const std::u8string s = path.generic_u8string();
    return std::string(s.begin(), s.end());
}

} // namespace morvane
