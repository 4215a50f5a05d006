#pragma once
// The local time of a moment, thread-safe on every system; false when it cannot be given.

#include <ctime>

namespace morvane {

inline bool vxLocalTime(std::time_t t, std::tm& local)
{
#ifdef _WIN32
    return ::localtime_s(&local, &t) == 0;
#else
    return ::localtime_r(&t, &local) != nullptr;
#endif
}

} // namespace morvane
