#include "db/paradox/ParadoxLanguageDrivers.h"

namespace morvane {

namespace {

struct Entry
{
    std::uint8_t sortOrder;
    const char* name;
    int codePage;
};

// Paradox's own (DOS) drivers: the only ones a level 3 table can carry.
constexpr Entry drivers[] = {
    {0x00, "ascii", 437},    {0x03, "china", 936},     {13, "czech", 852},      {22, "SPANISH", 437},
    {74, "grcp437", 737},    {0x54, "intl850", 850},   {125, "hebrew", 862},    {0x82, "nordan", 865},
    {143, "polish", 852},    {166, "thai", 437},       {177, "hun852dc", 852},  {0xB7, "intl", 437},
    {0xC0, "cyrr", 866},     {198, "turk", 857},       {208, "iceland", 861},   {226, "cskamen", 867},
    {0xE6, "nordan40", 865}, {0xF0, "swedfin", 437},   {252, "slovene", 852},
};

} // namespace

ParadoxLanguageDriver ParadoxDriverForSortOrder(std::uint8_t sortOrder)
{
    for (const auto& d : drivers)
        if (d.sortOrder == sortOrder)
            return {d.name, d.codePage};
    return {};
}

} // namespace morvane
