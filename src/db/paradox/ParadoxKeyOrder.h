#pragma once
// The order of keys in a table family (data blocks of a keyed table, .PX, X and Y entries):
// key fields compared one after the other in record encoding, which orders every type by
// its value when compared byte by byte (nulls first).
//
// Alpha collation: the engine takes it from the table's language driver. What is known of it
// is followed: "ascii" is byte order, and the drivers seen with mixed-case keys put capitals
// before small letters, as byte order does. For letters outside ASCII under the "intl"-type
// drivers (ANSIINTL, intl850, DBWIN*, BLLT1*...) the engine's order is not known; byte order
// is used there too, which is right for digits and ASCII letters only. Case-insensitive
// indexes compare Alpha in capitals (Windows-1252 letters for code page 1252, ASCII letters
// otherwise).

#include <cstddef>
#include <cstdint>
#include <vector>

namespace morvane {

struct ParadoxKeySegment
{
    std::size_t offset = 0; // in the compared bytes
    std::size_t length = 0;
    bool fold = false; // Alpha of a case-insensitive index: compared in capitals
    bool descending = false;
};

class ParadoxKeyOrder
{
public:
    ParadoxKeyOrder() = default;
    // codePage: the table's (the letters folded by `fold` segments).
    ParadoxKeyOrder(std::vector<ParadoxKeySegment> segments, int codePage);

    // < 0, 0, > 0 as a sorts before, with or after b.
    int compare(const std::uint8_t* a, const std::uint8_t* b) const;
    bool less(const std::uint8_t* a, const std::uint8_t* b) const { return compare(a, b) < 0; }
    // Bytes the segments cover from the first offset to the end of the last.
    std::size_t span() const { return span_; }
    // The key as the order sees it: the segments one after the other, capitals for folded
    // ones, descending ones inverted; such keys compare as their bytes do.
    std::size_t keyBytes() const { return sources_.size(); }
    // Byte at of the key as the order sees it, and where in the compared bytes it comes from
    // (it is a function of that byte alone).
    std::uint8_t byteAt(const std::uint8_t* key, std::size_t at) const
    {
        const std::uint8_t b = key[sources_[at]];
        return static_cast<std::uint8_t>((folds_[at] ? fold_[b] : b) ^ flips_[at]);
    }
    std::size_t sourceOf(std::size_t at) const { return sources_[at]; }
    // The capitals table byte at goes through (null: none) and the mask that inverts it.
    const std::uint8_t* foldOf(std::size_t at) const { return folds_[at] ? fold_ : nullptr; }
    std::uint8_t flipOf(std::size_t at) const { return flips_[at]; }

private:
    std::vector<ParadoxKeySegment> segments_;
    // By byte of the key as the order sees it: its offset, whether folded, the inverting mask.
    std::vector<std::uint32_t> sources_;
    std::vector<std::uint8_t> folds_;
    std::vector<std::uint8_t> flips_;
    const std::uint8_t* fold_ = nullptr; // capitals table of the code page
    bool plain_ = true;                  // one byte comparison over [0, span_)
    std::size_t span_ = 0;
};

} // namespace morvane
