#pragma once
// How a language driver orders and folds Alpha key bytes: the upper-case map that its
// case-insensitive indexes store and compare, and a rank per byte (a permutation that keeps
// 0 first) whose byte order is the driver's order. Where the engine's own files have not
// established a driver's order, the pairs of bytes it would decide are marked undecided:
// the writer warns when its order rests on one, the checker does not hold it against a file.

#include "db/paradox/ParadoxLanguageDrivers.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace morvane {

class ParadoxCollation
{
public:
    // An unknown or empty name gets the collation of an unknown driver of code page 1252.
    static const ParadoxCollation& ForDriver(std::string_view driver);

    const std::string& driver() const { return driver_; }
    std::uint8_t upper(std::uint8_t b) const { return upper_[b]; }
    const std::uint8_t* upperMap() const { return upper_.data(); }
    // rank of b, and rank of upper(b).
    const std::uint8_t* rankMap() const { return rank_.data(); }
    const std::uint8_t* foldedRankMap() const { return foldedRank_.data(); }
    // Every order the driver decides is established (the writer never has to warn).
    bool established() const { return allEstablished_; }
    // Whether the order between bytes a and b (which differ) of a value is established,
    // compared as they are (folded: in capitals).
    bool decides(std::uint8_t a, std::uint8_t b, bool folded) const;
    // Upper-cases an Alpha value in place.
    void fold(std::uint8_t* value, std::size_t bytes) const;

    explicit ParadoxCollation(const ParadoxLanguageDriver& driver);

private:
    std::string driver_;
    std::array<std::uint8_t, 256> upper_{};
    std::array<std::uint8_t, 256> rank_{};
    std::array<std::uint8_t, 256> foldedRank_{};
    std::array<bool, 256> known_{}; // place established in a case-sensitive key
    bool allEstablished_ = false;
};

} // namespace morvane
