#pragma once
// Fixed-size little-endian byte record, the base of every engine record the model keeps.
// Accessors take byte offsets; texts are zero-terminated single-byte strings in fixed-width
// fields, written cut to width - 2 characters with the rest of the field zero.

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace morvane {

template <std::size_t N>
class TvxRecordBytes
{
public:
    static constexpr std::size_t Size = N;

    std::array<std::uint8_t, N>& bytes() { return bytes_; }
    const std::array<std::uint8_t, N>& bytes() const { return bytes_; }
    std::uint8_t* data() { return bytes_.data(); }
    const std::uint8_t* data() const { return bytes_.data(); }
    void clear() { bytes_.fill(0); }

    std::uint16_t u16(std::size_t off) const
    {
        return static_cast<std::uint16_t>(bytes_[off] | (bytes_[off + 1] << 8));
    }
    std::int16_t i16(std::size_t off) const { return static_cast<std::int16_t>(u16(off)); }
    void setU16(std::size_t off, std::uint16_t v)
    {
        bytes_[off] = static_cast<std::uint8_t>(v);
        bytes_[off + 1] = static_cast<std::uint8_t>(v >> 8);
    }
    void setI16(std::size_t off, std::int16_t v) { setU16(off, static_cast<std::uint16_t>(v)); }

    std::uint32_t u32(std::size_t off) const
    {
        return static_cast<std::uint32_t>(bytes_[off]) | (static_cast<std::uint32_t>(bytes_[off + 1]) << 8) |
               (static_cast<std::uint32_t>(bytes_[off + 2]) << 16) |
               (static_cast<std::uint32_t>(bytes_[off + 3]) << 24);
    }
    std::int32_t i32(std::size_t off) const { return static_cast<std::int32_t>(u32(off)); }
    void setU32(std::size_t off, std::uint32_t v)
    {
        for (int i = 0; i < 4; ++i)
            bytes_[off + i] = static_cast<std::uint8_t>(v >> (8 * i));
    }
    void setI32(std::size_t off, std::int32_t v) { setU32(off, static_cast<std::uint32_t>(v)); }

    // 16-bit flag: any non-zero reads true; writes -1 or 0.
    bool flag(std::size_t off) const { return u16(off) != 0; }
    void setFlag(std::size_t off, bool v) { setI16(off, v ? -1 : 0); }

    // Characters up to the first zero byte, at most width of them.
    std::string text(std::size_t off, std::size_t width) const
    {
        const auto* p = reinterpret_cast<const char*>(bytes_.data() + off);
        return std::string(p, strnlen(p, width));
    }
    // Cut to width - 2 characters; the rest of the field zero.
    void setText(std::size_t off, std::size_t width, std::string_view s)
    {
        std::memset(bytes_.data() + off, 0, width);
        const std::size_t n = s.size() < width - 2 ? s.size() : width - 2;
        std::memcpy(bytes_.data() + off, s.data(), n);
    }

    bool operator==(const TvxRecordBytes&) const = default;

private:
    std::array<std::uint8_t, N> bytes_{};
};

} // namespace morvane
