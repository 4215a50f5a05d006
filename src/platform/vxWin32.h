#pragma once
// Win32 helpers of the platform layer: UTF-8 names made wide and back, and the system's error
// made an errno value (so that callers report failures alike on both systems).
#ifdef _WIN32

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <string>
#include <string_view>
#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>
// Names of ours that the API header would otherwise take for its A/W macros.
#undef CopyFile
#undef RemoveDirectory

namespace morvane {

std::wstring vxWide(std::string_view utf8);
std::string vxUtf8(std::wstring_view wide);
// The errno value closest to a Win32 error; sets errno to it and returns it.
int vxSetErrnoFrom(DWORD error);
inline int vxSetErrnoFromLastError()
{
    return vxSetErrnoFrom(::GetLastError());
}

} // namespace morvane

#endif
