#include "db/paradox/ParadoxKeyOrder.h"

#include "model/vxTextCase.h"

#include <algorithm>
#include <array>
#include <bit>
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
    for (std::size_t i = 0; i < n; ++i) {
        const int d = fold[a[i]] - fold[b[i]];
        if (d != 0)
            return d;
    }
    return 0;
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
    }
}

void ParadoxKeyOrder::prefix(const std::uint8_t* key, std::uint64_t out[PrefixWords]) const
{
    // The key's first bytes as the order sees them, then read as big-endian words.
    constexpr std::size_t bytes = 8 * PrefixWords;
    std::uint8_t b[bytes] = {};
    std::size_t n = 0;
    for (const auto& s : segments_) {
        const std::size_t take = std::min(s.length, bytes - n);
        const std::uint8_t* from = key + s.offset;
        if (!s.fold && !s.descending) {
            std::memcpy(b + n, from, take);
        } else {
            const std::uint8_t flip = s.descending ? 0xFF : 0x00;
            for (std::size_t i = 0; i < take; ++i)
                b[n + i] = static_cast<std::uint8_t>((s.fold ? fold_[from[i]] : from[i]) ^ flip);
        }
        n += take;
        if (n == bytes)
            break;
    }
    for (std::size_t w = 0; w < PrefixWords; ++w) {
        std::uint64_t v;
        std::memcpy(&v, b + 8 * w, 8);
        if constexpr (std::endian::native == std::endian::little)
            v = __builtin_bswap64(v);
        out[w] = v;
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
