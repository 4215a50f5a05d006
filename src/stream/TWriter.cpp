#include "stream/TWriter.h"

#include <algorithm>
#include <cstring>

#include "stream/EvxStreamError.h"

namespace morvane {

namespace {
template <typename T>
void StoreLE(std::uint8_t* out, T value)
{
    auto u = static_cast<std::make_unsigned_t<T>>(value);
    for (std::size_t i = 0; i < sizeof(T); ++i)
        out[i] = static_cast<std::uint8_t>(u >> (8 * i));
}
} // namespace

TWriter::TWriter(TvxStream& stream, std::size_t bufferSize) : TFiler(stream, bufferSize) {}

TWriter::~TWriter()
{
    try {
        Flush();
    } catch (...) {
        // Nothing can be reported from here; a caller that needs to know calls Flush itself.
    }
}

void TWriter::Flush()
{
    if (bufPos_ == 0)
        return;
    const std::size_t count = bufPos_;
    bufPos_ = 0;
    const std::size_t stored = stream_.Write(buffer_.data(), count);
    if (stored != count)
        throw EWriteError(SWriteError, stream_.Position() - static_cast<std::int64_t>(stored));
}

void TWriter::PutBlock(const void* bytes, std::size_t count)
{
    const auto* p = static_cast<const std::uint8_t*>(bytes);
    while (count > 0) {
        if (bufPos_ == buffer_.size())
            Flush();
        const std::size_t n = std::min(count, buffer_.size() - bufPos_);
        std::memcpy(buffer_.data() + bufPos_, p, n);
        bufPos_ += n;
        p += n;
        count -= n;
    }
}

void TWriter::PutTag(TvxValueTag tag)
{
    const std::uint8_t b = tag;
    PutBlock(&b, 1);
}

void TWriter::PutInteger(std::int32_t value)
{
    std::uint8_t out[5];
    std::size_t n;
    if (value >= -128 && value <= 127) {
        out[0] = vaInt8;
        StoreLE(out + 1, static_cast<std::int8_t>(value));
        n = 2;
    } else if (value >= -32768 && value <= 32767) {
        out[0] = vaInt16;
        StoreLE(out + 1, static_cast<std::int16_t>(value));
        n = 3;
    } else {
        out[0] = vaInt32;
        StoreLE(out + 1, value);
        n = 5;
    }
    PutBlock(out, n);
}

void TWriter::PutString(std::string_view text)
{
    if (text.size() < 256) {
        const std::uint8_t head[2] = {vaString, static_cast<std::uint8_t>(text.size())};
        PutBlock(head, 2);
    } else {
        std::uint8_t head[5];
        head[0] = vaLString;
        StoreLE(head + 1, static_cast<std::uint32_t>(text.size()));
        PutBlock(head, 5);
    }
    PutBlock(text.data(), text.size());
}

void TWriter::PutBoolean(bool flag)
{
    PutTag(flag ? vaTrue : vaFalse);
}

} // namespace morvane
