#pragma once
// TFiler: the common part of TWriter and TReader: the stream they work on (not owned) and a
// buffer of a given size (the program always uses 1024 bytes).

#include <cstddef>
#include <cstdint>
#include <vector>

#include "stream/TvxStream.h"

namespace morvane {

// Tags of the value encoding.
enum TvxValueTag : std::uint8_t {
    vaInt8 = 2,
    vaInt16 = 3,
    vaInt32 = 4,
    vaExtended = 5,
    vaString = 6,
    vaFalse = 8,
    vaTrue = 9,
    vaLString = 12,
};

class TFiler
{
public:
    static constexpr std::size_t DefaultBufferSize = 1024;

    TFiler(TvxStream& stream, std::size_t bufferSize);
    TFiler(const TFiler&) = delete;
    TFiler& operator=(const TFiler&) = delete;
    virtual ~TFiler() = default;

    TvxStream& Stream() { return stream_; }

protected:
    TvxStream& stream_;
    std::vector<std::uint8_t> buffer_;
    std::size_t bufPos_ = 0;
};

} // namespace morvane
