#include "stream/TReader.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "stream/EvxStreamError.h"

namespace morvane {

namespace {
template <typename T>
T LoadLE(const std::uint8_t* in)
{
    std::make_unsigned_t<T> u = 0;
    for (std::size_t i = 0; i < sizeof(T); ++i)
        u = static_cast<std::make_unsigned_t<T>>(u | (static_cast<std::make_unsigned_t<T>>(in[i]) << (8 * i)));
    return static_cast<T>(u);
}
} // namespace

TReader::TReader(TvxStream& stream, std::size_t bufferSize) : TFiler(stream, bufferSize) {}

TReader::~TReader()
{
    const std::size_t unread = bufEnd_ - bufPos_;
    if (unread > 0) {
        try {
            stream_.Seek(-static_cast<std::int64_t>(unread), TvxSeekOrigin::Current);
        } catch (...) {
        }
    }
}

std::int64_t TReader::StreamPosition()
{
    if (streamPos_ < 0)
        streamPos_ = stream_.Position();
    return streamPos_;
}

std::int64_t TReader::Position()
{
    return StreamPosition() - static_cast<std::int64_t>(bufEnd_ - bufPos_);
}

std::uint64_t TReader::Remaining()
{
    const std::int64_t pos = StreamPosition();
    if (streamSize_ < 0)
        streamSize_ = stream_.Size();
    const std::uint64_t after = streamSize_ > pos ? static_cast<std::uint64_t>(streamSize_ - pos) : 0;
    return after + (bufEnd_ - bufPos_);
}

void TReader::RequireAvailable(std::uint64_t count)
{
    if (count <= bufEnd_ - bufPos_)
        return;
    if (count > Remaining())
        FailAt(SReadError, streamSize_);
}

void TReader::Fail(const char* message)
{
    FailAt(message, Position());
}

void TReader::FailAt(const char* message, std::int64_t offset)
{
    throw EReadError(message, offset);
}

void TReader::ReadBuffer()
{
    bufEnd_ = stream_.Read(buffer_.data(), buffer_.size());
    bufPos_ = 0;
    if (streamPos_ >= 0)
        streamPos_ += static_cast<std::int64_t>(bufEnd_);
    if (bufEnd_ == 0)
        FailAt(SReadError, StreamPosition());
}

void TReader::GetBlock(void* destination, std::size_t count)
{
    auto* p = static_cast<std::uint8_t*>(destination);
    while (count > 0) {
        if (bufPos_ == bufEnd_)
            ReadBuffer();
        const std::size_t n = std::min(count, bufEnd_ - bufPos_);
        std::memcpy(p, buffer_.data() + bufPos_, n);
        bufPos_ += n;
        p += n;
        count -= n;
    }
}

std::uint8_t TReader::ReadTag()
{
    std::uint8_t tag;
    GetBlock(&tag, 1);
    return tag;
}

std::uint8_t TReader::NextTag()
{
    const std::uint8_t tag = ReadTag();
    --bufPos_;
    return tag;
}

std::int32_t TReader::GetIntegerPayload(std::uint8_t tag)
{
    std::uint8_t b[4];
    switch (tag) {
    case vaInt8:
        GetBlock(b, 1);
        return static_cast<std::int8_t>(b[0]);
    case vaInt16:
        GetBlock(b, 2);
        return LoadLE<std::int16_t>(b);
    case vaInt32:
        GetBlock(b, 4);
        return LoadLE<std::int32_t>(b);
    default:
        FailAt(SInvalidPropertyValue, Position() - 1);
    }
}

std::int32_t TReader::GetInteger()
{
    return GetIntegerPayload(ReadTag());
}

std::string TReader::GetStringPayload(std::uint8_t tag)
{
    std::uint32_t length = 0;
    if (tag == vaString) {
        std::uint8_t b;
        GetBlock(&b, 1);
        length = b;
    } else if (tag == vaLString) {
        std::uint8_t b[4];
        GetBlock(b, 4);
        length = LoadLE<std::uint32_t>(b);
    } else {
        FailAt(SInvalidPropertyValue, Position() - 1);
    }
    RequireAvailable(length);
    std::string s(length, '\0');
    GetBlock(s.data(), length);
    return s;
}

std::string TReader::GetString()
{
    return GetStringPayload(ReadTag());
}

bool TReader::GetBoolean()
{
    return ReadTag() == vaTrue;
}

double TReader::GetExtendedPayload()
{
    std::uint8_t b[10];
    GetBlock(b, 10);
    const std::uint64_t mantissa = LoadLE<std::uint64_t>(b);
    const std::uint16_t se = LoadLE<std::uint16_t>(b + 8);
    const bool negative = (se & 0x8000) != 0;
    const int exponent = se & 0x7FFF;
    double value;
    if (exponent == 0 && mantissa == 0)
        value = 0.0;
    else if (exponent == 0x7FFF)
        value = (mantissa << 1) == 0 ? HUGE_VAL : NAN;
    else
        value = std::ldexp(static_cast<double>(mantissa), exponent - 16383 - 63);
    return negative ? -value : value;
}

} // namespace morvane
