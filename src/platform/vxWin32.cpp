#ifdef _WIN32

#include "platform/vxWin32.h"

#include <cerrno>

namespace morvane {

std::wstring vxWide(std::string_view utf8)
{
    if (utf8.empty())
        return {};
    const int n = ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), n);
    return wide;
}

std::string vxUtf8(std::wstring_view wide)
{
    if (wide.empty())
        return {};
    const int n =
        ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(n), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), utf8.data(), n, nullptr, nullptr);
    return utf8;
}

int vxSetErrnoFrom(DWORD error)
{
    int e = EIO;
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_NETPATH:
        e = ENOENT;
        break;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        e = EACCES;
        break;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
        e = EEXIST;
        break;
    case ERROR_DIRECTORY:
        e = ENOTDIR;
        break;
    case ERROR_DIR_NOT_EMPTY:
        e = ENOTEMPTY;
        break;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        e = ENOSPC;
        break;
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY:
        e = ENOMEM;
        break;
    case ERROR_NOT_SAME_DEVICE:
        e = EXDEV;
        break;
    case ERROR_INVALID_HANDLE:
        e = EBADF;
        break;
    case ERROR_INVALID_PARAMETER:
        e = EINVAL;
        break;
    default:
        break;
    }
    errno = e;
    return e;
}

} // namespace morvane

#endif
