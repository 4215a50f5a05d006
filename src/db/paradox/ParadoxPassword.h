#pragma once
// Password checksums of protected Paradox tables: the value a table stores in its header
// for the password that opens it. An empty password gives 0 (= not protected).

#include <cstdint>
#include <string_view>

namespace morvane {

std::uint32_t ParadoxPasswordChecksum(std::string_view password);

// True when the password opens a table whose header holds key.
inline bool ParadoxPasswordMatches(std::string_view password, std::uint32_t key)
{
    return key != 0 && ParadoxPasswordChecksum(password) == key;
}

} // namespace morvane
