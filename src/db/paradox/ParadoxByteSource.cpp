#include "db/paradox/ParadoxByteSource.h"

#include "db/EvxEngineError.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "platform/vxFileIo.h"

namespace morvane {

ParadoxFileSource::ParadoxFileSource(TvxFileHandle fd, std::string name) : ParadoxByteSource(std::move(name)), fd_(fd)
{
    TvxFileInfo info;
    const bool known = vxFileInfoOf(fd_, info);
    if (!known || !info.regular) {
        const int err = known ? 0 : errno;
        vxCloseFile(fd_);
        throw EvxEngineError(vxErrNotFound, Name() + ": not a readable file" +
                                                (err ? std::string(" (") + std::strerror(err) + ")" : ""));
    }
    size_ = info.size;
}

ParadoxFileSource::~ParadoxFileSource()
{
    vxCloseFile(fd_);
}

std::unique_ptr<ParadoxFileSource> ParadoxFileSource::Open(const std::string& path)
{
    const TvxFileHandle fd = vxOpenFile(path, EvxOpenMode::Read);
    if (fd == vxNoFileHandle)
        throw EvxEngineError(vxErrNotFound, path + ": file cannot be opened (" + std::strerror(errno) + ")");
    return std::make_unique<ParadoxFileSource>(fd, path);
}

std::size_t ParadoxFileSource::ReadAt(std::uint64_t offset, std::uint8_t* buf, std::size_t count) const
{
    std::size_t got = 0;
    while (got < count) {
        const std::int64_t n = vxReadAt(fd_, buf + got, count - got, offset + got);
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
