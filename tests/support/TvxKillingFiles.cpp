#include "support/TvxKillingFiles.h"

#include <cerrno>
#include <fstream>
#ifndef _WIN32
#include <unistd.h>
#endif

#include "platform/EvxPlatformError.h"
#include "platform/vxFileIo.h"

namespace morvane::test {

void TvxKillingFiles::Alive() const
{
    if (Killed())
        throw EvxPlatformError("killed", 0);
}

void TvxKillingFiles::Step()
{
    Alive();
    if (++steps == killAt_)
        throw EvxPlatformError("killed", 0);
}

std::vector<TvxPlatformFiles::Entry> TvxKillingFiles::List(const std::string& dir)
{
    Alive();
    return TvxPlatformFiles::List(dir);
}

bool TvxKillingFiles::Exists(const std::string& path)
{
    Alive();
    return TvxPlatformFiles::Exists(path);
}

std::optional<std::string> TvxKillingFiles::ReadSmallFile(const std::string& path, std::size_t maxBytes)
{
    Alive();
    return TvxPlatformFiles::ReadSmallFile(path, maxBytes);
}

std::string TvxKillingFiles::MakeTempDirectory(const std::string& parent, const std::string& prefix)
{
    Step();
    return TvxPlatformFiles::MakeTempDirectory(parent, prefix);
}

void TvxKillingFiles::MakeDirectory(const std::string& path)
{
    Step();
    TvxPlatformFiles::MakeDirectory(path);
}

void TvxKillingFiles::WriteFileDurably(const std::string& path, const std::string& bytes)
{
    Step();
    const std::size_t slash = path.rfind('/');
    const std::string temp = path.substr(0, slash + 1) + "." + path.substr(slash + 1) + ".tmp-KILLED";
    std::ofstream(temp, std::ios::binary) << bytes;
    Step();
    TvxPlatformFiles::MoveReplacing(temp, path);
}

void TvxKillingFiles::Move(const std::string& from, const std::string& to)
{
    Step();
    TvxPlatformFiles::Move(from, to);
}

void TvxKillingFiles::MoveReplacing(const std::string& from, const std::string& to)
{
    Step();
    TvxPlatformFiles::MoveReplacing(from, to);
}

void TvxKillingFiles::KeepCopy(const std::string& from, const std::string& to)
{
    Step();
    TvxPlatformFiles::KeepCopy(from, to);
}

void TvxKillingFiles::CopyFile(const std::string& from, const std::string& to)
{
    Step();
    TvxPlatformFiles::CopyFile(from, to);
}

// Flushes count as steps; the disk is not asked to flush, which keeps the many runs quick.
void TvxKillingFiles::FlushFile(const std::string&)
{
    Step();
}

void TvxKillingFiles::FlushDirectory(const std::string&)
{
    Step();
}

bool TvxKillingFiles::RemoveFile(const std::string& path) noexcept
{
    if (Killed() || ++steps == killAt_)
        return false;
    return TvxPlatformFiles::RemoveFile(path);
}

bool TvxKillingFiles::RemoveDirectory(const std::string& path) noexcept
{
    if (Killed() || ++steps == killAt_)
        return false;
    return TvxPlatformFiles::RemoveDirectory(path);
}

TvxFileHandle TvxKillingFiles::TryLockFile(const std::string& path)
{
    Step();
    return TvxPlatformFiles::TryLockFile(path);
}

void TvxKillingFiles::WriteLockedFile(TvxFileHandle handle, const std::string& text)
{
    Step();
#ifdef _WIN32
    TvxPlatformFiles::WriteLockedFile(handle, text);
#else
    // Not flushed: the disk is not the subject of these tests.
    const int fd = static_cast<int>(handle);
    if (::ftruncate(fd, 0) != 0 || ::pwrite(fd, text.data(), text.size(), 0) != static_cast<ssize_t>(text.size()))
        throw EvxPlatformError("lock file cannot be written", errno);
#endif
}

void TvxKillingFiles::ReleaseLockFile(TvxFileHandle handle, const std::string& path) noexcept
{
    if (Killed())
        vxCloseFile(handle);
    else
        TvxPlatformFiles::ReleaseLockFile(handle, path);
}

} // namespace morvane::test
