#pragma once
// The order of keys in a table family (data blocks of a keyed table, .PX, X and Y entries):
// key fields compared one after the other in record encoding, which orders every type by
// its value when compared byte by byte (nulls first).
//
// Alpha segments compare by the table's language driver (ParadoxCollation): its rank of each
// byte, in the driver's capitals for a case-insensitive index.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "db/paradox/ParadoxCollation.h"

namespace morvane {

struct ParadoxKeySegment
{
    std::size_t offset = 0; // in the compared bytes
    std::size_t length = 0;
    bool fold = false; // Alpha of a case-insensitive index: compared in capitals
    bool descending = false;
    bool alpha = false; // compared by the driver's rank (else as bytes)
};

class ParadoxKeyOrder
{
public:
    ParadoxKeyOrder() = default;
    ParadoxKeyOrder(std::vector<ParadoxKeySegment> segments, const ParadoxCollation& collation);

    // < 0, 0, > 0 as a sorts before, with or after b.
    int compare(const std::uint8_t* a, const std::uint8_t* b) const;
    bool less(const std::uint8_t* a, const std::uint8_t* b) const { return compare(a, b) < 0; }
    // Whether the order of a and b (which compare unequal) is one the driver is known to give:
    // false when it rests on a pair of Alpha bytes whose order nobody has established.
    bool established(const std::uint8_t* a, const std::uint8_t* b) const;
    // No Alpha segment, or a driver whose whole order is established.
    bool certain() const;
    // Bytes the segments cover from the first offset to the end of the last.
    std::size_t span() const { return span_; }
    // The key as the order sees it: the segments one after the other, Alpha ones by rank
    // (of their capitals when folded), descending ones inverted; such keys compare as their
    // bytes do.
    std::size_t keyBytes() const { return sources_.size(); }
    // Byte at of the key as the order sees it, and where in the compared bytes it comes from
    // (it is a function of that byte alone).
    std::uint8_t byteAt(const std::uint8_t* key, std::size_t at) const
    {
        const std::uint8_t b = key[sources_[at]];
        return static_cast<std::uint8_t>((maps_[at] ? maps_[at][b] : b) ^ flips_[at]);
    }
    std::size_t sourceOf(std::size_t at) const { return sources_[at]; }
    // The rank table byte at goes through (null: none) and the mask that inverts it.
    const std::uint8_t* mapOf(std::size_t at) const { return maps_[at]; }
    std::uint8_t flipOf(std::size_t at) const { return flips_[at]; }

private:
    std::vector<ParadoxKeySegment> segments_;
    // By byte of the key as the order sees it: its offset, its rank table, the inverting mask.
    std::vector<std::uint32_t> sources_;
    std::vector<const std::uint8_t*> maps_;
    std::vector<const std::uint8_t*> segmentMaps_;
    std::vector<std::uint8_t> flips_;
    const ParadoxCollation* collation_ = nullptr;
    bool plain_ = true;                  // one byte comparison over [0, span_)
    std::size_t span_ = 0;
};

} // namespace morvane
