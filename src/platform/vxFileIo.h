#pragma once
// vxFileIo: the plain file calls of the core libraries (open, positioned read and write, size
// and time, flush, mapping, directory handles and listing), one thin function per system call.
// On POSIX they are inline and call the system directly; on Win32 they are in
// vxFileIoWin32.cpp (UTF-8 paths made wide). A failure returns vxNoFileHandle, false, -1 or
// null and leaves its reason in errno (Win32 errors are mapped to errno values), so callers
// report it with std::strerror(errno) on both systems.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/TvxPlatformFiles.h"

#ifndef _WIN32
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace morvane {

enum class EvxOpenMode {
    Read,      // an existing file, read only (never blocks on a FIFO or device)
    ReadWrite, // an existing file
    Create,    // read and write, created or emptied
    CreateNew, // read and write, fails when the name exists
};

struct TvxFileInfo
{
    bool regular = false;
    bool directory = false;
    bool removed = false; // an open directory whose name is gone
    std::uint64_t size = 0;
    std::int64_t modifiedNs = 0; // last change, nanoseconds since the epoch
    std::uint64_t device = 0;    // with inode: the same file when both are equal (0 where unknown)
    std::uint64_t inode = 0;
};

enum class EvxEntryKind { Regular, Directory, Other };

struct TvxDirEntry
{
    std::string name;
    EvxEntryKind kind = EvxEntryKind::Other; // symbolic links followed
};

enum class EvxSeekFrom { Begin, Current, End };

// dir/dirPath: an open directory and its path; names inside it are reached through the handle
// where the system can (POSIX), else by path.
TvxFileHandle vxOpenFile(const std::string& path, EvxOpenMode mode);
TvxFileHandle vxOpenFileIn(TvxFileHandle dir, const std::string& dirPath, const std::string& name, EvxOpenMode mode);
TvxFileHandle vxOpenDirectory(const std::string& path);
bool vxCloseFile(TvxFileHandle h);
bool vxFileInfoOf(TvxFileHandle h, TvxFileInfo& info);
bool vxPathInfo(const std::string& path, TvxFileInfo& info);
bool vxPathInfoIn(TvxFileHandle dir, const std::string& dirPath, const std::string& name, TvxFileInfo& info);
// Every entry but "." and ".."; false when the directory cannot be read.
bool vxListDirectory(TvxFileHandle dir, const std::string& dirPath, std::vector<TvxDirEntry>& entries);
// Bytes moved, 0 at the end, -1 on failure (interruptions retried).
std::int64_t vxRead(TvxFileHandle h, void* data, std::size_t size);
std::int64_t vxWrite(TvxFileHandle h, const void* data, std::size_t size);
std::int64_t vxReadAt(TvxFileHandle h, void* data, std::size_t size, std::uint64_t offset);
std::int64_t vxWriteAt(TvxFileHandle h, const void* data, std::size_t size, std::uint64_t offset);
// The new position, -1 on failure.
std::int64_t vxSeek(TvxFileHandle h, std::int64_t offset, EvxSeekFrom from);
bool vxFlushFile(TvxFileHandle h);
// Starts writing the file's cached bytes to disk without waiting; a hint that never fails.
void vxStartWriteback(TvxFileHandle h) noexcept;
// Flushes the file system holding path (where the system cannot, nothing: files are flushed one by one).
bool vxFlushFileSystem(const std::string& path);
// The whole file read only in memory, or null; vxUnmapFile releases it.
const std::uint8_t* vxMapFile(TvxFileHandle h, std::uint64_t size);
void vxUnmapFile(const std::uint8_t* data, std::uint64_t size) noexcept;
// A new file from a pattern ending in "XXXXXX" (replaced in place), open read-write, only this
// user's; vxNoFileHandle on failure.
TvxFileHandle vxMakeTempFile(std::string& pattern);
// The same, a directory; false on failure.
bool vxMakeTempDirectory(std::string& pattern);
// Permission bits (POSIX; Win32 has none of them and ignores these): what a file or directory
// created the ordinary way gets of mode, and the mode a file replacing path should get (path's
// own when it exists).
unsigned vxOrdinaryMode(unsigned mode);
unsigned vxModeForReplacing(const std::string& path);
void vxSetFileMode(TvxFileHandle h, unsigned mode);
void vxSetPathMode(const std::string& path, unsigned mode);

#ifndef _WIN32

inline int vxOpenFlags(EvxOpenMode mode)
{
    switch (mode) {
    case EvxOpenMode::Read:
        return O_RDONLY | O_CLOEXEC | O_NONBLOCK;
    case EvxOpenMode::ReadWrite:
        return O_RDWR | O_CLOEXEC;
    case EvxOpenMode::Create:
        return O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC;
    case EvxOpenMode::CreateNew:
        return O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC;
    }
    return O_RDONLY | O_CLOEXEC;
}

inline TvxFileHandle vxOpenFile(const std::string& path, EvxOpenMode mode)
{
    return ::open(path.c_str(), vxOpenFlags(mode), 0666);
}

inline TvxFileHandle vxOpenFileIn(TvxFileHandle dir, const std::string& dirPath, const std::string& name,
                                  EvxOpenMode mode)
{
    if (dir >= 0)
        return ::openat(static_cast<int>(dir), name.c_str(), vxOpenFlags(mode), 0666);
    return vxOpenFile(dirPath + "/" + name, mode);
}

inline TvxFileHandle vxOpenDirectory(const std::string& path)
{
    return ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
}

inline bool vxCloseFile(TvxFileHandle h)
{
    return h < 0 || ::close(static_cast<int>(h)) == 0 || errno == EINTR;
}

inline void vxFileInfoFromStat(const struct stat& st, TvxFileInfo& info)
{
    info.regular = S_ISREG(st.st_mode);
    info.directory = S_ISDIR(st.st_mode);
    info.removed = st.st_nlink == 0;
    info.size = static_cast<std::uint64_t>(st.st_size);
    info.modifiedNs = static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    info.device = static_cast<std::uint64_t>(st.st_dev);
    info.inode = static_cast<std::uint64_t>(st.st_ino);
}

inline bool vxFileInfoOf(TvxFileHandle h, TvxFileInfo& info)
{
    struct stat st
    {
    };
    if (::fstat(static_cast<int>(h), &st) != 0)
        return false;
    vxFileInfoFromStat(st, info);
    return true;
}

inline bool vxPathInfo(const std::string& path, TvxFileInfo& info)
{
    struct stat st
    {
    };
    if (::stat(path.c_str(), &st) != 0)
        return false;
    vxFileInfoFromStat(st, info);
    return true;
}

inline bool vxPathInfoIn(TvxFileHandle dir, const std::string& dirPath, const std::string& name, TvxFileInfo& info)
{
    if (dir < 0)
        return vxPathInfo(dirPath + "/" + name, info);
    struct stat st
    {
    };
    if (::fstatat(static_cast<int>(dir), name.c_str(), &st, 0) != 0)
        return false;
    vxFileInfoFromStat(st, info);
    return true;
}

inline bool vxListDirectory(TvxFileHandle dir, const std::string& dirPath, std::vector<TvxDirEntry>& entries)
{
    // readdir takes its own descriptor; a duplicate shares the position, so rewind.
    const int fd =
        dir >= 0 ? ::dup(static_cast<int>(dir)) : ::open(dirPath.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    DIR* d = fd >= 0 ? ::fdopendir(fd) : nullptr;
    if (!d) {
        const int err = errno;
        if (fd >= 0)
            ::close(fd);
        errno = err;
        return false;
    }
    ::rewinddir(d);
    while (const dirent* e = ::readdir(d)) {
        const char* name = e->d_name;
        if (name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0)))
            continue;
        EvxEntryKind kind = e->d_type == DT_REG   ? EvxEntryKind::Regular
                            : e->d_type == DT_DIR ? EvxEntryKind::Directory
                                                  : EvxEntryKind::Other;
        if (e->d_type == DT_UNKNOWN || e->d_type == DT_LNK) {
            struct stat st
            {
            };
            if (::fstatat(::dirfd(d), name, &st, 0) == 0)
                kind = S_ISREG(st.st_mode)   ? EvxEntryKind::Regular
                       : S_ISDIR(st.st_mode) ? EvxEntryKind::Directory
                                             : EvxEntryKind::Other;
        }
        entries.push_back({name, kind});
    }
    ::closedir(d);
    return true;
}

template <typename Transfer> std::int64_t vxRetried(Transfer transfer)
{
    for (;;) {
        const auto n = transfer();
        if (n >= 0 || errno != EINTR)
            return static_cast<std::int64_t>(n);
    }
}

inline std::int64_t vxRead(TvxFileHandle h, void* data, std::size_t size)
{
    return vxRetried([&] { return ::read(static_cast<int>(h), data, size); });
}

inline std::int64_t vxWrite(TvxFileHandle h, const void* data, std::size_t size)
{
    return vxRetried([&] { return ::write(static_cast<int>(h), data, size); });
}

inline std::int64_t vxReadAt(TvxFileHandle h, void* data, std::size_t size, std::uint64_t offset)
{
    return vxRetried([&] { return ::pread(static_cast<int>(h), data, size, static_cast<off_t>(offset)); });
}

inline std::int64_t vxWriteAt(TvxFileHandle h, const void* data, std::size_t size, std::uint64_t offset)
{
    return vxRetried([&] { return ::pwrite(static_cast<int>(h), data, size, static_cast<off_t>(offset)); });
}

inline std::int64_t vxSeek(TvxFileHandle h, std::int64_t offset, EvxSeekFrom from)
{
    const int whence = from == EvxSeekFrom::Begin ? SEEK_SET : from == EvxSeekFrom::Current ? SEEK_CUR : SEEK_END;
    return ::lseek(static_cast<int>(h), static_cast<off_t>(offset), whence);
}

inline bool vxFlushFile(TvxFileHandle h)
{
    return ::fsync(static_cast<int>(h)) == 0;
}

inline void vxStartWriteback(TvxFileHandle h) noexcept
{
#ifdef __linux__
    ::sync_file_range(static_cast<int>(h), 0, 0, SYNC_FILE_RANGE_WRITE);
#else
    (void)h;
#endif
}

inline bool vxFlushFileSystem(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
#ifdef __linux__
    const int rc = ::syncfs(fd);
#else
    const int rc = ::fsync(fd);
#endif
    const int err = errno;
    ::close(fd);
    errno = err;
    return rc == 0;
}

inline const std::uint8_t* vxMapFile(TvxFileHandle h, std::uint64_t size)
{
#ifdef MAP_POPULATE
    constexpr int flags = MAP_SHARED | MAP_POPULATE;
#else
    constexpr int flags = MAP_SHARED;
#endif
    void* data = ::mmap(nullptr, static_cast<std::size_t>(size), PROT_READ, flags, static_cast<int>(h), 0);
    return data == MAP_FAILED ? nullptr : static_cast<const std::uint8_t*>(data);
}

inline void vxUnmapFile(const std::uint8_t* data, std::uint64_t size) noexcept
{
    ::munmap(const_cast<std::uint8_t*>(data), static_cast<std::size_t>(size));
}

inline TvxFileHandle vxMakeTempFile(std::string& pattern)
{
    return ::mkostemp(pattern.data(), O_CLOEXEC);
}

inline bool vxMakeTempDirectory(std::string& pattern)
{
    return ::mkdtemp(pattern.data()) != nullptr;
}

inline unsigned vxOrdinaryMode(unsigned mode)
{
    const mode_t mask = ::umask(077);
    ::umask(mask);
    return mode & ~static_cast<unsigned>(mask);
}

inline unsigned vxModeForReplacing(const std::string& path)
{
    struct stat st
    {
    };
    if (::stat(path.c_str(), &st) == 0)
        return st.st_mode & 07777;
    return vxOrdinaryMode(0666);
}

inline void vxSetFileMode(TvxFileHandle h, unsigned mode)
{
    ::fchmod(static_cast<int>(h), static_cast<mode_t>(mode));
}

inline void vxSetPathMode(const std::string& path, unsigned mode)
{
    ::chmod(path.c_str(), static_cast<mode_t>(mode));
}

#endif

} // namespace morvane
