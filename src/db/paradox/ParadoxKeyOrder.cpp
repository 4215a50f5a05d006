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
    constexpr std::size_t bytes = 8 * PrefixWords;
    std::fill(out, out + PrefixWords, 0);
    if (plain_) { // the key's bytes as they are
        std::uint8_t b[bytes] = {};
        std::memcpy(b, key, std::min(span_, bytes));
        for (std::size_t w = 0; w < PrefixWords; ++w)
            for (std::size_t i = 0; i < 8; ++i)
                out[w] = (out[w] << 8) | b[8 * w + i];
        return;
    }
    std::size_t n = 0;
    for (const auto& s : segments_) {
        for (std::size_t i = 0; i < s.length && n < bytes; ++i, ++n) {
            std::uint8_t b = key[s.offset + i];
            if (s.fold)
                b = fold_[b];
            if (s.descending)
                b = static_cast<std::uint8_t>(~b);
            out[n / 8] |= std::uint64_t{b} << (8 * (7 - n % 8));
        }
        if (n == bytes)
            break;
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
