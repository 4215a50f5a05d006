#include "db/paradox/ParadoxBytes.h"

#include "db/EvxEngineError.h"

#include <algorithm>
#include <cstring>

namespace morvane {

ParadoxBytes::ParadoxBytes(const std::uint8_t* data, std::size_t size, std::string_view fileName)
    : data_(data), size_(data ? size : 0), fileName_(fileName)
{
}

void ParadoxBytes::fail(std::string_view what) const
{
    throw EvxEngineError(vxErrInvalidFile, std::string(fileName_) + ": " + std::string(what));
}

void ParadoxBytes::failOutside(std::size_t off, std::size_t len) const
{
    fail("file ends at byte " + std::to_string(size_) + ", " + std::to_string(len) + " bytes needed at offset " +
         std::to_string(off));
}

std::string ParadoxBytes::asciiz(std::size_t off, std::size_t maxLen, std::size_t* next) const
{
    if (off >= size_)
        fail("text expected at offset " + std::to_string(off) + " beyond the end of the file");
    const std::size_t avail = std::min(maxLen, size_ - off);
    const auto* p = data_ + off;
    const void* zero = std::memchr(p, 0, avail);
    if (!zero)
        fail("unterminated text at offset " + std::to_string(off));
    const auto len = static_cast<std::size_t>(static_cast<const std::uint8_t*>(zero) - p);
    if (next)
        *next = off + len + 1;
    return std::string(reinterpret_cast<const char*>(p), len);
}

std::string ParadoxBytes::fixedText(std::size_t off, std::size_t width) const
{
    const auto* p = reinterpret_cast<const char*>(span(off, width));
    return std::string(p, strnlen(p, width));
}

} // namespace morvane
