#include "db/paradox/ParadoxWriterFiles.h"

#include "db/EvxEngineError.h"

#include "platform/EvxPlatformError.h"
#include "platform/vxFileIo.h"

#include <cerrno>
#include <cstring>

namespace morvane {

namespace {

[[noreturn]] void failed(const std::string& path, const char* what, int err)
{
    throw EvxEngineError(vxErrWriteFailed, path + ": " + what + " (" + std::strerror(err) + ")");
}

// Runs a call of the platform's, its failure reported as the writer's.
template <typename Call>
auto asWriteFailure(Call call)
{
    try {
        return call();
    } catch (const EvxPlatformError& e) {
        throw EvxEngineError(vxErrWriteFailed, e.what());
    }
}

} // namespace

ParadoxWriterFiles& ParadoxWriterFiles::System()
{
    static ParadoxWriterFiles files;
    return files;
}

std::string ParadoxWriterFiles::makeTempDirectory(const std::string& parent, const std::string& prefix)
{
    return asWriteFailure([&] { return TvxPlatformFiles::System().MakeTempDirectory(parent, prefix); });
}

void ParadoxWriterFiles::makeDirectory(const std::string& path)
{
    asWriteFailure([&] { TvxPlatformFiles::System().MakeDirectory(path); });
}

TvxFileHandle ParadoxWriterFiles::create(const std::string& path)
{
    const TvxFileHandle fd = vxOpenFile(path, EvxOpenMode::CreateNew);
    if (fd == vxNoFileHandle)
        failed(path, "file cannot be created", errno);
    return fd;
}

TvxFileHandle ParadoxWriterFiles::openForReading(const std::string& path)
{
    const TvxFileHandle fd = vxOpenFile(path, EvxOpenMode::Read);
    if (fd == vxNoFileHandle)
        failed(path, "file cannot be opened", errno);
    return fd;
}

void ParadoxWriterFiles::writeAt(TvxFileHandle fd, const void* data, std::size_t size, std::uint64_t offset,
                                 const std::string& path)
{
    const auto* p = static_cast<const char*>(data);
    while (size > 0) {
        const std::int64_t n = vxWriteAt(fd, p, size, offset);
        if (n <= 0)
            failed(path, "write failed", n < 0 ? errno : ENOSPC);
        p += n;
        size -= static_cast<std::size_t>(n);
        offset += static_cast<std::uint64_t>(n);
    }
}

std::size_t ParadoxWriterFiles::readAt(TvxFileHandle fd, void* data, std::size_t size, std::uint64_t offset,
                                       const std::string& path)
{
    auto* p = static_cast<char*>(data);
    std::size_t done = 0;
    while (done < size) {
        const std::int64_t n = vxReadAt(fd, p + done, size - done, offset + done);
        if (n < 0)
            failed(path, "read failed", errno);
        if (n == 0)
            break;
        done += static_cast<std::size_t>(n);
    }
    return done;
}

void ParadoxWriterFiles::sync(TvxFileHandle fd, const std::string& path)
{
    if (!vxFlushFile(fd))
        failed(path, "cannot be flushed to disk", errno);
}

void ParadoxWriterFiles::startWriteback(TvxFileHandle fd) noexcept
{
    vxStartWriteback(fd);
}

void ParadoxWriterFiles::close(TvxFileHandle fd, const std::string& path)
{
    if (!vxCloseFile(fd))
        failed(path, "close failed", errno);
}

void ParadoxWriterFiles::rename(const std::string& from, const std::string& to)
{
    asWriteFailure([&] { TvxPlatformFiles::System().Move(from, to); });
}

void ParadoxWriterFiles::syncDirectory(const std::string& path)
{
    asWriteFailure([&] { TvxPlatformFiles::System().FlushDirectory(path); });
}

void ParadoxWriterFiles::syncFileSystem(const std::string& path)
{
    if (!vxFlushFileSystem(path))
        failed(path, "cannot be flushed to disk", errno);
}

bool ParadoxWriterFiles::remove(const std::string& path) noexcept
{
    return TvxPlatformFiles::System().RemoveFile(path);
}

bool ParadoxWriterFiles::removeDirectory(const std::string& path) noexcept
{
    return TvxPlatformFiles::System().RemoveDirectory(path);
}

std::vector<std::string> ParadoxWriterFiles::list(const std::string& path)
{
    std::vector<std::string> names;
    for (auto& entry : asWriteFailure([&] { return TvxPlatformFiles::System().List(path); }))
        names.push_back(std::move(entry.name));
    return names;
}

ParadoxOutputFile::ParadoxOutputFile(ParadoxWriterFiles& files, std::string path)
    : files_(files), path_(std::move(path)), fd_(files_.create(path_))
{
}

ParadoxOutputFile::~ParadoxOutputFile()
{
    if (fd_ != vxNoFileHandle)
        vxCloseFile(fd_); // after a failure: the working directory is removed anyway
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
    const TvxFileHandle fd = fd_;
    fd_ = vxNoFileHandle;
    files_.close(fd, path_);
}

} // namespace morvane
