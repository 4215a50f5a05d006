#pragma once
// TReader: reads tagged values and raw blocks through its buffer; the buffer may run ahead of
// what was consumed, and the destructor moves the stream back so that it stands right after
// the last byte consumed (the next section's reader starts there).
// Errors: EReadError "Stream read error" at the end of the stream inside a value or block (and
// for a length that the stream cannot hold, before anything is allocated); EReadError
// "Invalid property value" for a wrong tag, after consuming only the tag. Each error carries
// the stream offset at which reading failed. Reading costs one Read per buffer; the position
// and the size of the stream are asked of it once at most.

#include <cstdint>
#include <string>

#include "stream/TFiler.h"

namespace morvane {

class TReader : public TFiler
{
public:
    explicit TReader(TvxStream& stream, std::size_t bufferSize = DefaultBufferSize);
    ~TReader() override;

    // The next tag byte, without consuming it.
    std::uint8_t NextTag();
    // Consumes and returns one tag byte.
    std::uint8_t ReadTag();
    std::int32_t GetInteger();
    std::string GetString();
    // Tag 9 is true, any other tag false.
    bool GetBoolean();
    void GetBlock(void* destination, std::size_t count);
    // Payload readers for a tag already consumed with ReadTag.
    std::int32_t GetIntegerPayload(std::uint8_t tag);
    std::string GetStringPayload(std::uint8_t tag);
    // 80-bit extended value (tag 5 payload) as a double.
    double GetExtendedPayload();

    // Stream offset of the next byte to consume.
    std::int64_t Position();
    // Bytes that can still be consumed: those buffered plus those the stream holds after them.
    std::uint64_t Remaining();
    // Throws EReadError "Stream read error" unless count bytes can still be consumed.
    void RequireAvailable(std::uint64_t count);
    // Throws EReadError with the given text at the current position.
    [[noreturn]] void Fail(const char* message);
    [[noreturn]] void FailAt(const char* message, std::int64_t offset);

private:
    void ReadBuffer();
    // Learns where the stream stands (one seek, the first time only); from then on the reader
    // follows the position itself, as nothing else moves the stream while it reads.
    std::int64_t StreamPosition();
    std::size_t bufEnd_ = 0;
    std::int64_t streamPos_ = -1;  // where the stream stands (after the buffered bytes); -1 unknown
    std::int64_t streamSize_ = -1; // the stream's size, asked once; -1 unknown
};

} // namespace morvane
