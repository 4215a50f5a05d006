#include "db/paradox/ParadoxKeyOrder.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace morvane {

namespace {

int compareMapped(const std::uint8_t* a, const std::uint8_t* b, std::size_t n, const std::uint8_t* map)
{
    for (std::size_t i = 0;; ++i) {
        // Bytes equal as they are rank alike: skip them a word at a time.
        for (std::uint64_t x, y; i + 8 <= n; i += 8) {
            std::memcpy(&x, a + i, 8);
            std::memcpy(&y, b + i, 8);
            if (x != y)
                break;
        }
        while (i < n && a[i] == b[i])
            ++i;
        if (i == n)
            return 0;
        const int d = map[a[i]] - map[b[i]];
        if (d != 0)
            return d;
    }
}

} // namespace

ParadoxKeyOrder::ParadoxKeyOrder(std::vector<ParadoxKeySegment> segments, const ParadoxCollation& collation)
    : segments_(std::move(segments)), collation_(&collation)
{
    const std::uint8_t* rank = collation.rankMap();
    bool byteRank = true;
    for (int b = 0; b < 256 && byteRank; ++b)
        byteRank = rank[b] == b;
    std::size_t expected = 0;
    for (const auto& s : segments_) {
        const std::uint8_t* map = s.fold ? collation.foldedRankMap() : s.alpha && !byteRank ? rank : nullptr;
        segmentMaps_.push_back(map);
        plain_ = plain_ && !s.descending && !map && s.offset == expected;
        expected = s.offset + s.length;
        span_ = std::max(span_, s.offset + s.length);
        for (std::size_t i = 0; i < s.length; ++i) {
            sources_.push_back(static_cast<std::uint32_t>(s.offset + i));
            maps_.push_back(map);
            flips_.push_back(s.descending ? 0xFF : 0x00);
        }
    }
}

int ParadoxKeyOrder::compare(const std::uint8_t* a, const std::uint8_t* b) const
{
    if (plain_)
        return span_ == 0 ? 0 : std::memcmp(a, b, span_);
    for (std::size_t k = 0; k < segments_.size(); ++k) {
        const ParadoxKeySegment& s = segments_[k];
        const int d = segmentMaps_[k] ? compareMapped(a + s.offset, b + s.offset, s.length, segmentMaps_[k])
                                      : std::memcmp(a + s.offset, b + s.offset, s.length);
        if (d != 0)
            return s.descending ? -d : d;
    }
    return 0;
}

bool ParadoxKeyOrder::certain() const
{
    if (!collation_ || collation_->established())
        return true;
    return std::none_of(segments_.begin(), segments_.end(),
                        [](const ParadoxKeySegment& s) { return s.alpha || s.fold; });
}

bool ParadoxKeyOrder::established(const std::uint8_t* a, const std::uint8_t* b) const
{
    if (certain())
        return true;
    for (std::size_t k = 0; k < segments_.size(); ++k) {
        const ParadoxKeySegment& s = segments_[k];
        const std::uint8_t* map = segmentMaps_[k];
        for (std::size_t i = s.offset; i < s.offset + s.length; ++i) {
            const std::uint8_t x = map ? map[a[i]] : a[i];
            const std::uint8_t y = map ? map[b[i]] : b[i];
            if (x != y)
                return !(s.alpha || s.fold) || collation_->decides(a[i], b[i], s.fold);
        }
    }
    return true;
}

} // namespace morvane
