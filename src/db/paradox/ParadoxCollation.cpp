#include "db/paradox/ParadoxCollation.h"

#include "model/vxTextCase.h"

#include <map>
#include <memory>
#include <mutex>
#include <vector>

namespace morvane {

namespace {

bool asciiLetter(std::uint8_t b, bool small)
{
    return small ? (b >= 'a' && b <= 'z') : (b >= 'A' && b <= 'Z');
}

// Windows-1252 accented letters by base letter, capitals and small ones.
struct Accents
{
    char base;
    const char* capitals;
    const char* smalls;
};

constexpr Accents accents[] = {
    {'A', "\xC0\xC1\xC2\xC3\xC4\xC5\xC6", "\xE0\xE1\xE2\xE3\xE4\xE5\xE6"},
    {'C', "\xC7", "\xE7"},
    {'D', "\xD0", "\xF0"},
    {'E', "\xC8\xC9\xCA\xCB", "\xE8\xE9\xEA\xEB"},
    {'I', "\xCC\xCD\xCE\xCF", "\xEC\xED\xEE\xEF"},
    {'N', "\xD1", "\xF1"},
    {'O', "\xD2\xD3\xD4\xD5\xD6\xD8", "\xF2\xF3\xF4\xF5\xF6\xF8"},
    {'T', "\xDE", "\xFE"},
    {'U', "\xD9\xDA\xDB\xDC", "\xF9\xFA\xFB\xFC"},
    {'Y', "\xDD", "\xFD"},
};

// Base-letter order: each letter followed by its accented forms, capitals before small
// letters as in byte order; every other byte keeps its place relative to the rest.
std::array<std::uint8_t, 256> baseLetterRank()
{
    std::array<bool, 256> accented{};
    for (const auto& a : accents)
        for (const char* p : {a.capitals, a.smalls})
            for (; *p; ++p)
                accented[static_cast<std::uint8_t>(*p)] = true;
    std::vector<std::uint8_t> order;
    for (int b = 0; b < 256; ++b) {
        if (accented[static_cast<std::size_t>(b)])
            continue; // placed with its letter
        order.push_back(static_cast<std::uint8_t>(b));
        for (const auto& a : accents) {
            const bool capital = b == a.base;
            if (!capital && b != a.base + ('a' - 'A'))
                continue;
            for (const char* p = capital ? a.capitals : a.smalls; *p; ++p)
                order.push_back(static_cast<std::uint8_t>(*p));
        }
    }
    std::array<std::uint8_t, 256> rank{};
    for (std::size_t i = 0; i < order.size(); ++i)
        rank[order[i]] = static_cast<std::uint8_t>(i);
    return rank;
}

} // namespace

ParadoxCollation::ParadoxCollation(const ParadoxLanguageDriver& d) : driver_(d.name)
{
    const bool baseLetter = d.collation == ParadoxCollationKind::BaseLetter;
    const std::array<std::uint8_t, 256> base = baseLetter ? baseLetterRank() : std::array<std::uint8_t, 256>{};
    for (int i = 0; i < 256; ++i) {
        const auto b = static_cast<std::uint8_t>(i);
        upper_[b] = asciiLetter(b, true) || (d.latin1Fold && b >= 0xE0 && b <= 0xFE && b != 0xF7)
                        ? static_cast<std::uint8_t>(b - 0x20)
                        : b;
        rank_[b] = baseLetter ? base[b] : b;
        switch (d.collation) {
        case ParadoxCollationKind::Bytes:
            known_[b] = true;
            break;
        case ParadoxCollationKind::BaseLetter:
            known_[b] = b < 0x80 ? !asciiLetter(b, true) : (b >= 0xC0 && b <= 0xDE && b != 0xD7);
            break;
        case ParadoxCollationKind::Unknown:
            known_[b] = b < 0x80 && !asciiLetter(b, true);
            break;
        }
    }
    for (int i = 0; i < 256; ++i)
        foldedRank_[static_cast<std::size_t>(i)] = rank_[upper_[static_cast<std::size_t>(i)]];
    allEstablished_ = d.collation == ParadoxCollationKind::Bytes;
}

bool ParadoxCollation::decides(std::uint8_t a, std::uint8_t b, bool folded) const
{
    if (folded) {
        a = upper_[a];
        b = upper_[b];
    }
    if (known_[a] && known_[b])
        return true;
    // Two small ASCII letters keep their alphabetical order in any driver.
    return asciiLetter(a, true) && asciiLetter(b, true);
}

void ParadoxCollation::fold(std::uint8_t* value, std::size_t bytes) const
{
    for (std::size_t i = 0; i < bytes; ++i)
        value[i] = upper_[value[i]];
}

const ParadoxCollation& ParadoxCollation::ForDriver(std::string_view driver)
{
    static std::mutex mutex;
    static std::map<std::string, std::unique_ptr<ParadoxCollation>> known;
    const std::lock_guard<std::mutex> lock(mutex);
    const std::string key = UpperText(driver);
    auto it = known.find(key);
    if (it == known.end()) {
        ParadoxLanguageDriver d = ParadoxDriverNamed(driver).value_or(ParadoxLanguageDriver{});
        if (d.name.empty()) {
            d.name = std::string(driver);
            d.latin1Fold = true;
        }
        it = known.emplace(key, std::make_unique<ParadoxCollation>(d)).first;
    }
    return *it->second;
}

} // namespace morvane
