#pragma once
// The language drivers a Paradox table can name: name, sort-order byte (all a level 3 table
// stores), code page of the text, and how its keys are collated (ParadoxCollation).

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace morvane {

enum class ParadoxCollationKind {
    Bytes,      // unsigned byte order, a-z folded (ascii, DBWINUS0): what the engine's files show
    BaseLetter, // accented capitals right after their base letter, Latin-1 folded (ANSII850)
    Unknown,    // byte order as a guess; outside ASCII nothing established
};

struct ParadoxLanguageDriver
{
    std::string name;   // empty when the byte is unknown
    int codePage = 0;   // 0 when unknown
    std::uint8_t sortOrder = 0;
    ParadoxCollationKind collation = ParadoxCollationKind::Unknown;
    bool latin1Fold = false; // its upper-case map takes the accented letters 0xE0-0xFE too
};

// Paradox's own (DOS) drivers: the only ones a level 3 table can carry.
ParadoxLanguageDriver ParadoxDriverForSortOrder(std::uint8_t sortOrder);
// Any driver by name, letter case ignored.
std::optional<ParadoxLanguageDriver> ParadoxDriverNamed(std::string_view name);

} // namespace morvane
