// The POSIX side of TvxPlatformFiles (Linux: renameat2 for the move that refuses an existing
// name).
#ifndef _WIN32

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <stdio.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/EvxPlatformError.h"
#include "platform/vxFileSteps.h"
#include "platform/TvxPlatformFiles.h"

namespace morvane {

namespace {

std::string DirectoryOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string(".") : slash == 0 ? std::string("/") : path.substr(0, slash);
}

} // namespace

void TvxPlatformFiles::CopyFile(const std::string& from, const std::string& to)
{
    const TvxHandleCloser in(::open(from.c_str(), O_RDONLY | O_CLOEXEC));
    if (in.get() < 0)
        vxFailed(from, "cannot be opened", errno);
    const TvxHandleCloser out(::open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
    if (out.get() < 0)
        vxFailed(to, "cannot be created", errno);
    try {
        char buffer[1 << 16];
        for (;;) {
            const ssize_t n = ::read(static_cast<int>(in.get()), buffer, sizeof buffer);
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0)
                vxFailed(from, "read failed", errno);
            if (n == 0)
                break;
            vxWriteAll(out.get(), buffer, static_cast<std::size_t>(n), to);
        }
        vxSync(out.get(), to);
    } catch (...) {
        ::unlink(to.c_str());
        throw;
    }
}

TvxPlatformFiles& TvxPlatformFiles::System()
{
    static TvxPlatformFiles files;
    return files;
}

std::vector<TvxPlatformFiles::Entry> TvxPlatformFiles::List(const std::string& dir)
{
    DIR* d = ::opendir(dir.c_str());
    if (!d)
        vxFailed(dir, "directory cannot be read", errno);
    std::vector<Entry> entries;
    while (const dirent* e = ::readdir(d)) {
        const std::string name = e->d_name;
        if (name == "." || name == "..")
            continue;
        bool directory = e->d_type == DT_DIR;
        if (e->d_type == DT_UNKNOWN) {
            struct stat st
            {
            };
            directory = ::fstatat(::dirfd(d), e->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISDIR(st.st_mode);
        }
        entries.push_back({name, directory});
    }
    ::closedir(d);
    return entries;
}

bool TvxPlatformFiles::Exists(const std::string& path)
{
    struct stat st
    {
    };
    return ::lstat(path.c_str(), &st) == 0;
}

bool TvxPlatformFiles::SameFile(const std::string& a, const std::string& b)
{
    struct stat sa {};
    struct stat sb {};
    return ::stat(a.c_str(), &sa) == 0 && ::stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev &&
           sa.st_ino == sb.st_ino;
}

std::int64_t TvxPlatformFiles::AgeSeconds(const std::string& path)
{
    struct stat st
    {
    };
    if (::lstat(path.c_str(), &st) != 0)
        return 0;
    const std::time_t now = std::time(nullptr);
    return now > st.st_mtime ? static_cast<std::int64_t>(now - st.st_mtime) : 0;
}

std::string TvxPlatformFiles::MakeTempDirectory(const std::string& parent, const std::string& prefix)
{
    std::string pattern = parent + "/" + prefix + "XXXXXX";
    if (!::mkdtemp(pattern.data()))
        vxFailed(parent, "cannot create a working directory", errno);
    return pattern;
}

void TvxPlatformFiles::MakeDirectory(const std::string& path)
{
    if (::mkdir(path.c_str(), 0777) != 0)
        vxFailed(path, "directory cannot be created", errno);
}

std::optional<std::string> TvxPlatformFiles::ReadSmallFile(const std::string& path, std::size_t maxBytes)
{
    const TvxHandleCloser fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW));
    if (fd.get() < 0) {
        if (errno == ENOENT)
            return std::nullopt;
        vxFailed(path, "cannot be opened", errno);
    }
    return vxReadAll(fd.get(), maxBytes, path);
}

void TvxPlatformFiles::WriteFileDurably(const std::string& path, const std::string& bytes)
{
    const std::string dir = DirectoryOf(path);
    const std::string name = path.substr(path.rfind('/') + 1);
    std::string temp = dir + "/." + name + ".tmp-XXXXXX";
    const TvxHandleCloser fd(::mkostemp(temp.data(), O_CLOEXEC));
    if (fd.get() < 0)
        vxFailed(path, "cannot be written", errno);
    try {
        vxWriteAll(fd.get(), bytes.data(), bytes.size(), temp);
        vxSync(fd.get(), temp);
        MoveReplacing(temp, path);
    } catch (...) {
        ::unlink(temp.c_str());
        throw;
    }
    FlushDirectory(dir);
}

void TvxPlatformFiles::Move(const std::string& from, const std::string& to)
{
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) != 0)
        vxFailed(from, "cannot be moved to " + to, errno);
}

void TvxPlatformFiles::MoveReplacing(const std::string& from, const std::string& to)
{
    if (::rename(from.c_str(), to.c_str()) != 0)
        vxFailed(from, "cannot be moved to " + to, errno);
}

void TvxPlatformFiles::KeepCopy(const std::string& from, const std::string& to)
{
    if (::link(from.c_str(), to.c_str()) == 0)
        return;
    const int err = errno;
    if (err != EPERM && err != EXDEV && err != ENOTSUP && err != EOPNOTSUPP && err != EMLINK && err != ENOSYS)
        vxFailed(from, "cannot be linked to " + to, err);
    CopyFile(from, to);
}

void TvxPlatformFiles::FlushFile(const std::string& path)
{
    const TvxHandleCloser fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0)
        vxFailed(path, "cannot be opened", errno);
    vxSync(fd.get(), path);
}

void TvxPlatformFiles::FlushDirectory(const std::string& path)
{
    const TvxHandleCloser fd(::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.get() < 0)
        vxFailed(path, "directory cannot be opened", errno);
    if (::fsync(static_cast<int>(fd.get())) != 0 && errno != EINVAL)
        vxFailed(path, "directory cannot be flushed to disk", errno);
}

bool TvxPlatformFiles::RemoveFile(const std::string& path) noexcept
{
    return ::unlink(path.c_str()) == 0 || errno == ENOENT;
}

bool TvxPlatformFiles::RemoveDirectory(const std::string& path) noexcept
{
    return ::rmdir(path.c_str()) == 0 || errno == ENOENT;
}

TvxFileHandle TvxPlatformFiles::TryLockFile(const std::string& path)
{
    for (;;) {
        const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0644);
        if (fd < 0)
            vxFailed(path, "lock file cannot be opened", errno);
        int rc;
        do
            rc = ::flock(fd, LOCK_EX | LOCK_NB);
        while (rc != 0 && errno == EINTR);
        if (rc != 0) {
            const int err = errno;
            ::close(fd);
            if (err == EWOULDBLOCK)
                return vxNoFileHandle;
            vxFailed(path, "cannot be locked", err);
        }
        // The holder before may have removed the file between the open and the lock.
        struct stat held
        {
        };
        struct stat named
        {
        };
        if (::fstat(fd, &held) == 0 && ::lstat(path.c_str(), &named) == 0 && held.st_dev == named.st_dev &&
            held.st_ino == named.st_ino)
            return fd;
        ::close(fd);
    }
}

void TvxPlatformFiles::WriteLockedFile(TvxFileHandle handle, const std::string& text)
{
    const int fd = static_cast<int>(handle);
    if (::ftruncate(fd, 0) != 0)
        vxFailed("lock file", "cannot be written", errno);
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::pwrite(fd, text.data() + done, text.size() - done, static_cast<off_t>(done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            vxFailed("lock file", "cannot be written", n < 0 ? errno : ENOSPC);
        done += static_cast<std::size_t>(n);
    }
    vxSync(fd, "lock file");
}

void TvxPlatformFiles::ReleaseLockFile(TvxFileHandle handle, const std::string& path) noexcept
{
    ::unlink(path.c_str());
    ::close(static_cast<int>(handle)); // releases the lock
}

std::string TvxPlatformFiles::ProcessName()
{
    char host[HOST_NAME_MAX + 1] = {};
    if (::gethostname(host, sizeof host - 1) != 0)
        std::strcpy(host, "?");
    return "process " + std::to_string(::getpid()) + " on host " + host;
}

} // namespace morvane

#endif
