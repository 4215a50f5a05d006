#include "support/TvxFailingStream.h"

#include <algorithm>

namespace morvane {

std::size_t TvxFailingStream::Read(void* buffer, std::size_t count)
{
    ++readCalls_;
    const auto allowed = static_cast<std::size_t>(std::min<std::uint64_t>(count, readLeft_));
    const std::size_t n = inner_.Read(buffer, allowed);
    if (readLeft_ != NoLimit)
        readLeft_ -= n;
    return n;
}

std::size_t TvxFailingStream::Write(const void* buffer, std::size_t count)
{
    ++writeCalls_;
    const auto allowed = static_cast<std::size_t>(std::min<std::uint64_t>(count, writeLeft_));
    const std::size_t n = inner_.Write(buffer, allowed);
    if (writeLeft_ != NoLimit)
        writeLeft_ -= n;
    return n;
}

} // namespace morvane
