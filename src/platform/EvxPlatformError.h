#pragma once
// EvxPlatformError: a file-system call that failed; what() names the path and the system's
// reason, SystemCode() is the system's error number (errno, or GetLastError on Win32).

#include <stdexcept>
#include <string>

namespace morvane {

class EvxPlatformError : public std::runtime_error
{
public:
    EvxPlatformError(const std::string& message, int systemCode) : std::runtime_error(message), systemCode_(systemCode)
    {}
    int SystemCode() const { return systemCode_; }

private:
    int systemCode_;
};

} // namespace morvane
