#pragma once
// TvxFailingStream: wraps another stream and lets only the first `limit` bytes be written
// (and, when readLimit is set, read) through it; beyond that it stores or returns nothing, as
// a full disk or a cut-off medium would. For testing the error paths of writers and readers.
// The inner stream is not owned.

#include <cstdint>
#include <limits>

#include "stream/TvxStream.h"

namespace morvane {

class TvxFailingStream : public TvxStream
{
public:
    static constexpr std::uint64_t NoLimit = std::numeric_limits<std::uint64_t>::max();

    TvxFailingStream(TvxStream& inner, std::uint64_t writeLimit, std::uint64_t readLimit = NoLimit)
        : inner_(inner), writeLeft_(writeLimit), readLeft_(readLimit)
    {
    }

    std::size_t Read(void* buffer, std::size_t count) override;
    std::size_t Write(const void* buffer, std::size_t count) override;
    std::int64_t Seek(std::int64_t offset, TvxSeekOrigin origin) override { return inner_.Seek(offset, origin); }
    std::int64_t Size() override { return inner_.Size(); }

    int WriteCalls() const { return writeCalls_; }
    int ReadCalls() const { return readCalls_; }

private:
    TvxStream& inner_;
    std::uint64_t writeLeft_;
    std::uint64_t readLeft_;
    int writeCalls_ = 0;
    int readCalls_ = 0;
};

} // namespace morvane
