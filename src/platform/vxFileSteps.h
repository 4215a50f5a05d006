#pragma once
// Steps the two sides of TvxPlatformFiles share: the failure they throw, a handle closed with
// its scope, a whole buffer written, a small file read whole, a flush.

#include <cerrno>
#include <cstring>
#include <string>

#include "platform/EvxPlatformError.h"
#include "platform/vxFileIo.h"

namespace morvane {

[[noreturn]] inline void vxFailed(const std::string& path, const std::string& what, int err)
{
    throw EvxPlatformError(path + ": " + what + " (" + std::strerror(err) + ")", err);
}

class TvxHandleCloser
{
public:
    explicit TvxHandleCloser(TvxFileHandle h) : h_(h) {}
    ~TvxHandleCloser() { vxCloseFile(h_); }
    TvxHandleCloser(const TvxHandleCloser&) = delete;
    TvxHandleCloser& operator=(const TvxHandleCloser&) = delete;
    TvxFileHandle get() const { return h_; }

private:
    TvxFileHandle h_;
};

inline void vxWriteAll(TvxFileHandle h, const char* data, std::size_t size, const std::string& path)
{
    while (size > 0) {
        const std::int64_t n = vxWrite(h, data, size);
        if (n <= 0)
            vxFailed(path, "write failed", n < 0 ? errno : ENOSPC);
        data += n;
        size -= static_cast<std::size_t>(n);
    }
}

// The rest of the file behind h, refused past maxBytes.
inline std::string vxReadAll(TvxFileHandle h, std::size_t maxBytes, const std::string& path)
{
    std::string text;
    char buffer[4096];
    for (;;) {
        const std::int64_t n = vxRead(h, buffer, sizeof buffer);
        if (n < 0)
            vxFailed(path, "read failed", errno);
        if (n == 0)
            return text;
        if (text.size() + static_cast<std::size_t>(n) > maxBytes)
            vxFailed(path, "longer than " + std::to_string(maxBytes) + " bytes", EFBIG);
        text.append(buffer, static_cast<std::size_t>(n));
    }
}

inline void vxSync(TvxFileHandle h, const std::string& path)
{
    if (!vxFlushFile(h))
        vxFailed(path, "cannot be flushed to disk", errno);
}

} // namespace morvane
