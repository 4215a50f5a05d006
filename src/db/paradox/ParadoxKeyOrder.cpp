#include "db/paradox/ParadoxKeyOrder.h"

#include "model/vxTextCase.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace morvane {

namespace {

using FoldTable = std::array<std::uint8_t, 256>;

constexpr FoldTable makeFold(bool windows1252)
{
    FoldTable t{};
    for (int c = 0; c < 256; ++c) {
        const auto u = static_cast<unsigned char>(c);
        if (windows1252)
            t[static_cast<std::size_t>(c)] = UpperChar(u);
        else
            t[static_cast<std::size_t>(c)] = (u >= 'a' && u <= 'z') ? static_cast<std::uint8_t>(u - 0x20) : u;
    }
    return t;
}

constexpr FoldTable foldAnsi = makeFold(true);
constexpr FoldTable foldAscii = makeFold(false);

int compareFolded(const std::uint8_t* a, const std::uint8_t* b, std::size_t n, const std::uint8_t* fold)
{
    for (std::size_t i = 0;; ++i) {
        // Bytes equal as they are fold alike: skip them a word at a time.
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
        const int d = fold[a[i]] - fold[b[i]];
        if (d != 0)
            return d;
    }
}

} // namespace

ParadoxKeyOrder::ParadoxKeyOrder(std::vector<ParadoxKeySegment> segments, int codePage)
    : segments_(std::move(segments)), fold_((codePage == 1252 ? foldAnsi : foldAscii).data())
{
    std::size_t expected = 0;
    for (const auto& s : segments_) {
        plain_ = plain_ && !s.descending && !s.fold && s.offset == expected;
        expected = s.offset + s.length;
        span_ = std::max(span_, s.offset + s.length);
        for (std::size_t i = 0; i < s.length; ++i) {
            sources_.push_back(static_cast<std::uint32_t>(s.offset + i));
            folds_.push_back(s.fold);
            flips_.push_back(s.descending ? 0xFF : 0x00);
        }
    }
}

int ParadoxKeyOrder::compare(const std::uint8_t* a, const std::uint8_t* b) const
{
    if (plain_)
        return span_ == 0 ? 0 : std::memcmp(a, b, span_);
    for (const auto& s : segments_) {
        const int d = s.fold ? compareFolded(a + s.offset, b + s.offset, s.length, fold_)
                                         : std::memcmp(a + s.offset, b + s.offset, s.length);
        if (d != 0)
            return s.descending ? -d : d;
    }
    return 0;
}

} // namespace morvane
