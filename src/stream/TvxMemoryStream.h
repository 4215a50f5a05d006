#pragma once
// TvxMemoryStream: a growable stream in memory. Writing past the end extends it; seeking past
// the end is allowed and a later write fills the gap with zero bytes.

#include <cstdint>
#include <vector>

#include "stream/TvxStream.h"

namespace morvane {

class TvxMemoryStream : public TvxStream
{
public:
    TvxMemoryStream() = default;
    explicit TvxMemoryStream(std::vector<std::uint8_t> bytes) : bytes_(std::move(bytes)) {}
    TvxMemoryStream(const void* data, std::size_t size);

    std::size_t Read(void* buffer, std::size_t count) override;
    std::size_t Write(const void* buffer, std::size_t count) override;
    std::int64_t Seek(std::int64_t offset, TvxSeekOrigin origin) override;
    std::int64_t Size() override { return static_cast<std::int64_t>(bytes_.size()); }

    const std::vector<std::uint8_t>& Bytes() const { return bytes_; }
    void Clear();

private:
    std::vector<std::uint8_t> bytes_;
    std::size_t pos_ = 0;
};

} // namespace morvane
