#pragma once
// Bounds-checked little-endian view of bytes read from one Paradox file. Every read outside
// the view throws EvxEngineError(vxErrInvalidFile) naming the file; the view owns neither
// the bytes nor the name.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>

#include "db/paradox/ParadoxLayout.h"

namespace morvane {

class ParadoxBytes
{
public:
    ParadoxBytes(const std::uint8_t* data, std::size_t size, std::string_view fileName);

    std::size_t size() const { return size_; }

    std::uint8_t u8(std::size_t off) const { return *span(off, 1); }
    std::uint16_t u16(std::size_t off) const { return ParadoxLe16(span(off, 2)); }
    std::uint32_t u32(std::size_t off) const { return ParadoxLe32(span(off, 4)); }
    // Pointer to len bytes at off, all inside the view.
    const std::uint8_t* span(std::size_t off, std::size_t len) const
    {
        if (off > size_ || len > size_ - off)
            failOutside(off, len);
        return data_ + off;
    }
    // Zero-terminated text starting at off; the terminator must lie before off + maxLen
    // and inside the view. *next receives the offset just past the terminator.
    std::string asciiz(std::size_t off, std::size_t maxLen, std::size_t* next = nullptr) const;
    // Text of a fixed-width area: the bytes up to the first zero or the end of the area.
    std::string fixedText(std::size_t off, std::size_t width) const;

    // Throws EvxEngineError(vxErrInvalidFile, "<file>: <what>").
    [[noreturn]] void fail(std::string_view what) const;
    // what: the text, or a function making it (only called when the condition fails, so
    // passing files pay nothing for the message).
    template <class What>
    void require(bool condition, What&& what) const
    {
        if (condition)
            return;
        if constexpr (std::is_invocable_v<What>)
            fail(what());
        else
            fail(what);
    }

private:
    [[noreturn]] void failOutside(std::size_t off, std::size_t len) const;

    const std::uint8_t* data_;
    std::size_t size_;
    std::string_view fileName_;
};

} // namespace morvane
