#include "db/paradox/ParadoxWriterFiles.h"

#include "db/EvxEngineError.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace morvane {

namespace {

[[noreturn]] void failed(const std::string& path, const char* what, int err)
{
    throw EvxEngineError(vxErrWriteFailed, path + ": " + what + " (" + std::strerror(err) + ")");
}

} // namespace

ParadoxWriterFiles& ParadoxWriterFiles::System()
{
    static ParadoxWriterFiles files;
    return files;
}

std::string ParadoxWriterFiles::makeTempDirectory(const std::string& parent, const std::string& prefix)
{
    std::string pattern = parent + "/" + prefix + "XXXXXX";
    if (!::mkdtemp(pattern.data()))
        failed(parent, "cannot create a working directory", errno);
    return pattern;
}

void ParadoxWriterFiles::makeDirectory(const std::string& path)
{
    if (::mkdir(path.c_str(), 0777) != 0)
        failed(path, "directory cannot be created", errno);
}

int ParadoxWriterFiles::create(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0)
        failed(path, "file cannot be created", errno);
    return fd;
}

int ParadoxWriterFiles::openForReading(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        failed(path, "file cannot be opened", errno);
    return fd;
}

void ParadoxWriterFiles::writeAt(int fd, const void* data, std::size_t size, std::uint64_t offset,
                                 const std::string& path)
{
    const auto* p = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t n = ::pwrite(fd, p, size, static_cast<off_t>(offset));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            failed(path, "write failed", n < 0 ? errno : ENOSPC);
        p += n;
        size -= static_cast<std::size_t>(n);
        offset += static_cast<std::uint64_t>(n);
    }
}

std::size_t ParadoxWriterFiles::readAt(int fd, void* data, std::size_t size, std::uint64_t offset,
                                       const std::string& path)
{
    auto* p = static_cast<char*>(data);
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = ::pread(fd, p + done, size - done, static_cast<off_t>(offset + done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            failed(path, "read failed", errno);
        if (n == 0)
            break;
        done += static_cast<std::size_t>(n);
    }
    return done;
}

void ParadoxWriterFiles::sync(int fd, const std::string& path)
{
    if (::fsync(fd) != 0)
        failed(path, "cannot be flushed to disk", errno);
}

void ParadoxWriterFiles::startWriteback(int fd) noexcept
{
    ::sync_file_range(fd, 0, 0, SYNC_FILE_RANGE_WRITE);
}

void ParadoxWriterFiles::close(int fd, const std::string& path)
{
    if (::close(fd) != 0 && errno != EINTR)
        failed(path, "close failed", errno);
}

void ParadoxWriterFiles::rename(const std::string& from, const std::string& to)
{
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) != 0)
        failed(from, ("cannot be moved to " + to).c_str(), errno);
}

void ParadoxWriterFiles::syncDirectory(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        failed(path, "directory cannot be opened", errno);
    const int rc = ::fsync(fd);
    const int err = errno;
    ::close(fd);
    if (rc != 0 && err != EINVAL)
        failed(path, "directory cannot be flushed to disk", err);
}

void ParadoxWriterFiles::syncFileSystem(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        failed(path, "cannot be opened", errno);
    const int rc = ::syncfs(fd);
    const int err = errno;
    ::close(fd);
    if (rc != 0)
        failed(path, "cannot be flushed to disk", err);
}

bool ParadoxWriterFiles::remove(const std::string& path) noexcept
{
    return ::unlink(path.c_str()) == 0 || errno == ENOENT;
}

bool ParadoxWriterFiles::removeDirectory(const std::string& path) noexcept
{
    return ::rmdir(path.c_str()) == 0 || errno == ENOENT;
}

std::vector<std::string> ParadoxWriterFiles::list(const std::string& path)
{
    DIR* dir = ::opendir(path.c_str());
    if (!dir)
        failed(path, "directory cannot be read", errno);
    std::vector<std::string> names;
    while (const dirent* e = ::readdir(dir)) {
        const std::string name = e->d_name;
        if (name != "." && name != "..")
            names.push_back(name);
    }
    ::closedir(dir);
    return names;
}

ParadoxOutputFile::ParadoxOutputFile(ParadoxWriterFiles& files, std::string path)
    : files_(files), path_(std::move(path)), fd_(files_.create(path_))
{
}

ParadoxOutputFile::~ParadoxOutputFile()
{
    if (fd_ >= 0)
        ::close(fd_); // after a failure: the working directory is removed anyway
}

void ParadoxOutputFile::writeAt(const void* data, std::size_t size, std::uint64_t offset)
{
    files_.writeAt(fd_, data, size, offset, path_);
    size_ = std::max<std::uint64_t>(size_, offset + size);
}

void ParadoxOutputFile::append(const void* data, std::size_t size)
{
    writeAt(data, size, size_);
}

void ParadoxOutputFile::finish(bool toDisk)
{
    if (toDisk)
        files_.startWriteback(fd_);
    const int fd = fd_;
    fd_ = -1;
    files_.close(fd, path_);
}

} // namespace morvane
