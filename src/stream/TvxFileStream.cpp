#include "stream/TvxFileStream.h"

#include "platform/vxFileIo.h"
#include "stream/EvxStreamError.h"

namespace morvane {

TvxFileStream::TvxFileStream(const std::string& fileName, Mode mode) : fileName_(fileName)
{
    fd_ = vxOpenFile(fileName, mode == Mode::Create     ? EvxOpenMode::Create
                               : mode == Mode::OpenRead ? EvxOpenMode::Read
                                                        : EvxOpenMode::ReadWrite);
    TvxFileInfo info;
    if (fd_ == vxNoFileHandle || !vxFileInfoOf(fd_, info) || info.directory) {
        vxCloseFile(fd_);
        fd_ = vxNoFileHandle;
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
std::size_t TransferAll(TvxFileHandle fd, Byte* p, std::size_t count, Transfer transfer)
{
    std::size_t done = 0;
    while (fd != vxNoFileHandle && done < count) {
        const std::int64_t n = transfer(fd, p + done, count - done);
        if (n <= 0)
            break;
        done += static_cast<std::size_t>(n);
    }
    return done;
}

} // namespace

std::size_t TvxFileStream::Read(void* buffer, std::size_t count)
{
    return TransferAll(fd_, static_cast<char*>(buffer), count, vxRead);
}

std::size_t TvxFileStream::Write(const void* buffer, std::size_t count)
{
    return TransferAll(fd_, static_cast<const char*>(buffer), count, vxWrite);
}

std::int64_t TvxFileStream::Seek(std::int64_t offset, TvxSeekOrigin origin)
{
    if (fd_ == vxNoFileHandle)
        return 0;
    const EvxSeekFrom from = origin == TvxSeekOrigin::Begin     ? EvxSeekFrom::Begin
                             : origin == TvxSeekOrigin::Current ? EvxSeekFrom::Current
                                                                : EvxSeekFrom::End;
    const std::int64_t r = vxSeek(fd_, offset, from);
    if (r < 0)
        return vxSeek(fd_, 0, EvxSeekFrom::Current);
    return r;
}

bool TvxFileStream::Sync()
{
    return fd_ != vxNoFileHandle && vxFlushFile(fd_);
}

bool TvxFileStream::Close()
{
    if (fd_ == vxNoFileHandle)
        return true;
    const bool ok = vxCloseFile(fd_);
    fd_ = vxNoFileHandle;
    return ok;
}

} // namespace morvane
