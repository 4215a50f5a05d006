#include "stream/TvxFileStream.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "stream/EvxStreamError.h"

namespace morvane {

TvxFileStream::TvxFileStream(const std::string& fileName, Mode mode) : fileName_(fileName)
{
    switch (mode) {
    case Mode::Create:
        fd_ = ::open(fileName.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
        if (fd_ < 0)
            throw EFCreateError(fileName);
        break;
    case Mode::OpenRead:
        fd_ = ::open(fileName.c_str(), O_RDONLY | O_CLOEXEC);
        break;
    case Mode::OpenReadWrite:
        fd_ = ::open(fileName.c_str(), O_RDWR | O_CLOEXEC);
        break;
    }
    if (fd_ < 0)
        throw EFOpenError(fileName);
    struct stat st {};
    if (::fstat(fd_, &st) != 0 || S_ISDIR(st.st_mode)) {
        ::close(fd_);
        fd_ = -1;
        if (mode == Mode::Create)
            throw EFCreateError(fileName);
        throw EFOpenError(fileName);
    }
}

TvxFileStream::~TvxFileStream()
{
    Close();
}

namespace {

// Repeats a read or write until count bytes are moved, the data ends or the medium refuses.
template <typename Byte, typename Transfer>
std::size_t TransferAll(int fd, Byte* p, std::size_t count, Transfer transfer)
{
    std::size_t done = 0;
    while (fd >= 0 && done < count) {
        const ssize_t n = transfer(fd, p + done, count - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        done += static_cast<std::size_t>(n);
    }
    return done;
}

} // namespace

std::size_t TvxFileStream::Read(void* buffer, std::size_t count)
{
    return TransferAll(fd_, static_cast<char*>(buffer), count, ::read);
}

std::size_t TvxFileStream::Write(const void* buffer, std::size_t count)
{
    return TransferAll(fd_, static_cast<const char*>(buffer), count, ::write);
}

std::int64_t TvxFileStream::Seek(std::int64_t offset, TvxSeekOrigin origin)
{
    if (fd_ < 0)
        return 0;
    const int whence = origin == TvxSeekOrigin::Begin ? SEEK_SET : origin == TvxSeekOrigin::Current ? SEEK_CUR : SEEK_END;
    const off_t r = ::lseek(fd_, static_cast<off_t>(offset), whence);
    if (r < 0)
        return ::lseek(fd_, 0, SEEK_CUR);
    return static_cast<std::int64_t>(r);
}

bool TvxFileStream::Sync()
{
    return fd_ >= 0 && ::fsync(fd_) == 0;
}

bool TvxFileStream::Close()
{
    if (fd_ < 0)
        return true;
    const int r = ::close(fd_);
    fd_ = -1;
    return r == 0;
}

} // namespace morvane
