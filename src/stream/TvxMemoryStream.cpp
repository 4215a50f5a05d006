#include "stream/TvxMemoryStream.h"

#include <algorithm>
#include <cstring>

namespace morvane {

TvxMemoryStream::TvxMemoryStream(const void* data, std::size_t size)
    : bytes_(static_cast<const std::uint8_t*>(data), static_cast<const std::uint8_t*>(data) + size)
{
}

std::size_t TvxMemoryStream::Read(void* buffer, std::size_t count)
{
    if (pos_ >= bytes_.size())
        return 0;
    const std::size_t n = std::min(count, bytes_.size() - pos_);
    std::memcpy(buffer, bytes_.data() + pos_, n);
    pos_ += n;
    return n;
}

std::size_t TvxMemoryStream::Write(const void* buffer, std::size_t count)
{
    if (count == 0)
        return 0;
    if (pos_ + count > bytes_.size())
        bytes_.resize(pos_ + count);
    std::memcpy(bytes_.data() + pos_, buffer, count);
    pos_ += count;
    return count;
}

std::int64_t TvxMemoryStream::Seek(std::int64_t offset, TvxSeekOrigin origin)
{
    std::int64_t base = 0;
    if (origin == TvxSeekOrigin::Current)
        base = static_cast<std::int64_t>(pos_);
    else if (origin == TvxSeekOrigin::End)
        base = static_cast<std::int64_t>(bytes_.size());
    const std::int64_t target = base + offset;
    pos_ = target < 0 ? 0 : static_cast<std::size_t>(target);
    return static_cast<std::int64_t>(pos_);
}

void TvxMemoryStream::Clear()
{
    bytes_.clear();
    pos_ = 0;
}

} // namespace morvane
