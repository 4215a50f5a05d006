// The Win32 side of TvxPlatformFiles: wide paths from UTF-8, MoveFileExW with write-through,
// FlushFileBuffers, LockFileEx. A directory's names are durable once MoveFileExW with
// MOVEFILE_WRITE_THROUGH returns, so a directory flush has nothing left to do.
#ifdef _WIN32

#include <cerrno>
#include <cstring>
#include <ctime>

#include "platform/EvxPlatformError.h"
#include "platform/TvxPlatformFiles.h"
#include "platform/vxFileIo.h"
#include "platform/vxFileSteps.h"
#include "platform/vxWin32.h"

namespace morvane {

namespace {

[[noreturn]] void FailedLast(const std::string& path, const std::string& what)
{
    vxFailed(path, what, vxSetErrnoFromLastError());
}

// The byte range locked: far past any holder's text, so that others can still read that.
constexpr DWORD LockOffsetHigh = 0x7fffffff;

// The volume and file index of a file or directory (device and inode in info).
bool IdentityOf(const std::string& path, TvxFileInfo& info)
{
    const HANDLE h = ::CreateFileW(vxWide(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                   nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    const bool ok = vxFileInfoOf(reinterpret_cast<TvxFileHandle>(h), info);
    ::CloseHandle(h);
    return ok;
}

} // namespace

TvxPlatformFiles& TvxPlatformFiles::System()
{
    static TvxPlatformFiles files;
    return files;
}

void TvxPlatformFiles::CopyFile(const std::string& from, const std::string& to)
{
    if (!::CopyFileW(vxWide(from).c_str(), vxWide(to).c_str(), TRUE))
        FailedLast(from, "cannot be copied to " + to);
    try {
        FlushFile(to);
    } catch (...) {
        RemoveFile(to);
        throw;
    }
}

std::vector<TvxPlatformFiles::Entry> TvxPlatformFiles::List(const std::string& dir)
{
    std::vector<TvxDirEntry> found;
    if (!vxListDirectory(vxNoFileHandle, dir, found))
        vxFailed(dir, "directory cannot be read", errno);
    std::vector<Entry> entries;
    entries.reserve(found.size());
    for (auto& e : found)
        entries.push_back({std::move(e.name), e.kind == EvxEntryKind::Directory});
    return entries;
}

bool TvxPlatformFiles::Exists(const std::string& path)
{
    return ::GetFileAttributesW(vxWide(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool TvxPlatformFiles::SameFile(const std::string& a, const std::string& b)
{
    TvxFileInfo ia;
    TvxFileInfo ib;
    return IdentityOf(a, ia) && IdentityOf(b, ib) && ia.device == ib.device && ia.inode == ib.inode;
}

std::int64_t TvxPlatformFiles::AgeSeconds(const std::string& path)
{
    TvxFileInfo info;
    if (!vxPathInfo(path, info))
        return 0;
    const std::int64_t now = static_cast<std::int64_t>(std::time(nullptr));
    const std::int64_t changed = info.modifiedNs / 1000000000;
    return now > changed ? now - changed : 0;
}

std::string TvxPlatformFiles::MakeTempDirectory(const std::string& parent, const std::string& prefix)
{
    std::string pattern = parent + "/" + prefix + "XXXXXX";
    if (!vxMakeTempDirectory(pattern))
        vxFailed(parent, "cannot create a working directory", errno);
    return pattern;
}

void TvxPlatformFiles::MakeDirectory(const std::string& path)
{
    if (!::CreateDirectoryW(vxWide(path).c_str(), nullptr))
        FailedLast(path, "directory cannot be created");
}

std::optional<std::string> TvxPlatformFiles::ReadSmallFile(const std::string& path, std::size_t maxBytes)
{
    const TvxHandleCloser h(vxOpenFile(path, EvxOpenMode::Read));
    if (h.get() == vxNoFileHandle) {
        if (errno == ENOENT)
            return std::nullopt;
        vxFailed(path, "cannot be opened", errno);
    }
    return vxReadAll(h.get(), maxBytes, path);
}

void TvxPlatformFiles::WriteFileDurably(const std::string& path, const std::string& bytes)
{
    const std::size_t slash = path.find_last_of("/\\");
    const std::string dir = slash == std::string::npos ? std::string(".") : path.substr(0, slash);
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    std::string temp = dir + "/." + name + ".tmp-XXXXXX";
    {
        const TvxHandleCloser h(vxMakeTempFile(temp));
        if (h.get() == vxNoFileHandle)
            vxFailed(path, "cannot be written", errno);
        try {
            vxWriteAll(h.get(), bytes.data(), bytes.size(), temp);
            vxSync(h.get(), temp);
        } catch (...) {
            vxCloseFile(h.get());
            RemoveFile(temp);
            throw;
        }
    }
    try {
        MoveReplacing(temp, path);
    } catch (...) {
        RemoveFile(temp);
        throw;
    }
}

void TvxPlatformFiles::Move(const std::string& from, const std::string& to)
{
    if (!::MoveFileExW(vxWide(from).c_str(), vxWide(to).c_str(), MOVEFILE_WRITE_THROUGH))
        FailedLast(from, "cannot be moved to " + to);
}

void TvxPlatformFiles::MoveReplacing(const std::string& from, const std::string& to)
{
    if (!::MoveFileExW(vxWide(from).c_str(), vxWide(to).c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        FailedLast(from, "cannot be moved to " + to);
}

void TvxPlatformFiles::KeepCopy(const std::string& from, const std::string& to)
{
    if (::CreateHardLinkW(vxWide(to).c_str(), vxWide(from).c_str(), nullptr))
        return;
    const DWORD err = ::GetLastError();
    if (err == ERROR_ALREADY_EXISTS || err == ERROR_FILE_EXISTS || err == ERROR_FILE_NOT_FOUND ||
        err == ERROR_PATH_NOT_FOUND)
        vxFailed(from, "cannot be linked to " + to, vxSetErrnoFrom(err));
    CopyFile(from, to);
}

void TvxPlatformFiles::FlushFile(const std::string& path)
{
    const TvxHandleCloser h(vxOpenFile(path, EvxOpenMode::ReadWrite)); // FlushFileBuffers needs write access
    if (h.get() == vxNoFileHandle)
        vxFailed(path, "cannot be opened", errno);
    vxSync(h.get(), path);
}

void TvxPlatformFiles::FlushDirectory(const std::string& path)
{
    if (::GetFileAttributesW(vxWide(path).c_str()) == INVALID_FILE_ATTRIBUTES)
        FailedLast(path, "directory cannot be opened");
}

bool TvxPlatformFiles::RemoveFile(const std::string& path) noexcept
{
    if (::DeleteFileW(vxWide(path).c_str()))
        return true;
    const DWORD err = ::GetLastError();
    return err == ERROR_FILE_NOT_FOUND || err == ERROR_PATH_NOT_FOUND;
}

bool TvxPlatformFiles::RemoveDirectory(const std::string& path) noexcept
{
    if (::RemoveDirectoryW(vxWide(path).c_str()))
        return true;
    const DWORD err = ::GetLastError();
    return err == ERROR_FILE_NOT_FOUND || err == ERROR_PATH_NOT_FOUND;
}

TvxFileHandle TvxPlatformFiles::TryLockFile(const std::string& path)
{
    for (;;) {
        const HANDLE h = ::CreateFileW(vxWide(path).c_str(), GENERIC_READ | GENERIC_WRITE,
                                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                                       FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h == INVALID_HANDLE_VALUE)
            FailedLast(path, "lock file cannot be opened");
        OVERLAPPED at{};
        at.OffsetHigh = LockOffsetHigh;
        if (!::LockFileEx(h, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &at)) {
            const DWORD err = ::GetLastError();
            ::CloseHandle(h);
            if (err == ERROR_LOCK_VIOLATION || err == ERROR_IO_PENDING)
                return vxNoFileHandle;
            vxFailed(path, "cannot be locked", vxSetErrnoFrom(err));
        }
        // The holder before may have removed the file between the open and the lock.
        const TvxFileHandle held = reinterpret_cast<TvxFileHandle>(h);
        TvxFileInfo mine;
        TvxFileInfo named;
        if (vxFileInfoOf(held, mine) && IdentityOf(path, named) && mine.device == named.device &&
            mine.inode == named.inode)
            return held;
        ::CloseHandle(h);
    }
}

void TvxPlatformFiles::WriteLockedFile(TvxFileHandle handle, const std::string& text)
{
    const HANDLE h = reinterpret_cast<HANDLE>(handle);
    LARGE_INTEGER zero{};
    if (!::SetFilePointerEx(h, zero, nullptr, FILE_BEGIN) || !::SetEndOfFile(h))
        FailedLast("lock file", "cannot be written");
    std::size_t done = 0;
    while (done < text.size()) {
        const std::int64_t n = vxWriteAt(handle, text.data() + done, text.size() - done, done);
        if (n <= 0)
            vxFailed("lock file", "cannot be written", n < 0 ? errno : ENOSPC);
        done += static_cast<std::size_t>(n);
    }
    vxSync(handle, "lock file");
}

void TvxPlatformFiles::ReleaseLockFile(TvxFileHandle handle, const std::string& path) noexcept
{
    ::DeleteFileW(vxWide(path).c_str()); // shared for deletion: the name goes now, the file with the handle
    OVERLAPPED at{};
    at.OffsetHigh = LockOffsetHigh;
    ::UnlockFileEx(reinterpret_cast<HANDLE>(handle), 0, 1, 0, &at);
    ::CloseHandle(reinterpret_cast<HANDLE>(handle));
}

std::string TvxPlatformFiles::ProcessName()
{
    wchar_t host[MAX_COMPUTERNAME_LENGTH + 1] = {};
    DWORD size = MAX_COMPUTERNAME_LENGTH + 1;
    const std::string name = ::GetComputerNameW(host, &size) ? vxUtf8(std::wstring_view(host, size)) : "?";
    return "process " + std::to_string(::GetCurrentProcessId()) + " on host " + name;
}

} // namespace morvane

#endif
