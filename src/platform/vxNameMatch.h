#pragma once
// A file name against a shell pattern ("*", "?", "[...]"), letter case ignored (ASCII).

#include <string>

#ifndef _WIN32
#include <fnmatch.h>
#endif

namespace morvane {

bool vxMatchName(const std::string& pattern, const std::string& name);

#ifndef _WIN32
inline bool vxMatchName(const std::string& pattern, const std::string& name)
{
    return ::fnmatch(pattern.c_str(), name.c_str(), FNM_CASEFOLD) == 0;
}
#endif

} // namespace morvane
