#include "db/paradox/ParadoxPassword.h"

#include "db/paradox/ParadoxCrypt.h"

#include <algorithm>

namespace morvane {

namespace {
using Chunk = ParadoxChunk;
} // namespace

std::uint32_t ParadoxPasswordChecksum(std::string_view password)
{
    if (password.empty())
        return 0;
    // The password is at most 255 bytes in any table; longer input only repeats itself.
    const std::size_t len = std::min<std::size_t>(password.size(), 255);

    Chunk first{};
    for (std::size_t i = 0; i < first.size(); ++i)
        first[i] = static_cast<std::uint8_t>(password[i % len]);
    first = ParadoxEncryptChunk(first, first[0], first[1], first[2], first[3]);
    const std::uint32_t low = static_cast<std::uint32_t>(first[0]) | (static_cast<std::uint32_t>(first[1]) << 8);

    Chunk second = first;
    for (std::size_t i = 0; i < len; ++i)
        second[i] = static_cast<std::uint8_t>(password[i]);
    for (std::size_t i = len; i < second.size(); ++i)
        second[i] = static_cast<std::uint8_t>(ParadoxCryptTableA()[second[i - len]] ^ (i & 0xFF));
    second = ParadoxEncryptChunk(second, second[0], second[20], second[40], second[255]);

    std::uint32_t even = 0;
    std::uint32_t odd = 0;
    for (std::size_t i = 0; i < second.size(); i += 2) {
        even ^= second[i];
        odd ^= second[i + 1];
    }
    std::uint32_t high = (odd << 8) | even;
    if (high == 0)
        high = 1;
    return (high << 16) | low;
}

} // namespace morvane
