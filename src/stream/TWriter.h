#pragma once
// TWriter: writes tagged little-endian values and raw blocks through its buffer. The stream
// sees one Write per full buffer and one at Flush. Flush throws EWriteError "Stream write
// error" when the stream stores fewer bytes than handed. The destructor flushes what is still
// buffered but cannot report a failure: call Flush before the writer goes out of scope on the
// success path so write errors reach the caller.

#include <cstdint>
#include <string_view>

#include "stream/TFiler.h"

namespace morvane {

class TWriter : public TFiler
{
public:
    explicit TWriter(TvxStream& stream, std::size_t bufferSize = DefaultBufferSize);
    ~TWriter() override;

    void PutInteger(std::int32_t value);
    void PutString(std::string_view text);
    void PutBoolean(bool flag);
    void PutBlock(const void* bytes, std::size_t count);
    void Flush();

private:
    void PutTag(TvxValueTag tag);
};

} // namespace morvane
