#include "db/paradox/ParadoxByteSource.h"

#include "db/EvxEngineError.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace morvane {

ParadoxFileSource::ParadoxFileSource(int fd, std::string name) : ParadoxByteSource(std::move(name)), fd_(fd)
{
    struct stat st
    {
    };
    if (::fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode)) {
        const int err = errno;
        ::close(fd_);
        throw EvxEngineError(vxErrNotFound, Name() + ": not a readable file" +
                                                (err ? std::string(" (") + std::strerror(err) + ")" : ""));
    }
    size_ = static_cast<std::uint64_t>(st.st_size);
}

ParadoxFileSource::~ParadoxFileSource()
{
    ::close(fd_);
}

std::unique_ptr<ParadoxFileSource> ParadoxFileSource::Open(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        throw EvxEngineError(vxErrNotFound, path + ": file cannot be opened (" + std::strerror(errno) + ")");
    return std::make_unique<ParadoxFileSource>(fd, path);
}

std::size_t ParadoxFileSource::ReadAt(std::uint64_t offset, std::uint8_t* buf, std::size_t count) const
{
    std::size_t got = 0;
    while (got < count) {
        const ssize_t n = ::pread(fd_, buf + got, count - got, static_cast<off_t>(offset + got));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            throw EvxEngineError(vxErrInvalidFile, Name() + ": read error at offset " + std::to_string(offset + got) +
                                                       " (" + std::strerror(errno) + ")");
        if (n == 0)
            break;
        got += static_cast<std::size_t>(n);
    }
    return got;
}

ParadoxMemorySource::ParadoxMemorySource(const std::uint8_t* data, std::size_t size, std::string name)
    : ParadoxByteSource(std::move(name)), bytes_(data, data + size)
{}

std::size_t ParadoxMemorySource::ReadAt(std::uint64_t offset, std::uint8_t* buf, std::size_t count) const
{
    if (offset >= bytes_.size())
        return 0;
    const std::size_t n = std::min<std::uint64_t>(count, bytes_.size() - offset);
    std::memcpy(buf, bytes_.data() + offset, n);
    return n;
}

} // namespace morvane
