#pragma once
// TvxStream: an abstract random-access byte stream. Read and Write return how many bytes they
// moved (fewer than asked at the end of the data or when the medium refuses); they do not
// throw for that. Seek returns the new position.

#include <cstddef>
#include <cstdint>

namespace morvane {

enum class TvxSeekOrigin { Begin, Current, End };

class TvxStream
{
public:
    virtual ~TvxStream() = default;

    virtual std::size_t Read(void* buffer, std::size_t count) = 0;
    virtual std::size_t Write(const void* buffer, std::size_t count) = 0;
    virtual std::int64_t Seek(std::int64_t offset, TvxSeekOrigin origin) = 0;

    std::int64_t Position() { return Seek(0, TvxSeekOrigin::Current); }
    void SetPosition(std::int64_t pos) { Seek(pos, TvxSeekOrigin::Begin); }
    virtual std::int64_t Size();
};

} // namespace morvane
