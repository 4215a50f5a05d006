#include "db/paradox/ParadoxLanguageDrivers.h"

#include "model/vxCodePage.h"
#include "model/vxTextCase.h"

namespace morvane {

namespace {

using K = ParadoxCollationKind;

struct Entry
{
    const char* name;
    std::uint8_t sortOrder;
    int codePage;
    bool dos;
    K kind;
    bool latin1Fold;
};

constexpr Entry drivers[] = {
    {"ascii", 0x00, 437, true, K::Bytes, false},
    {"china", 0x03, 936, true, K::Unknown, false},
    {"czech", 13, 852, true, K::Unknown, false},
    {"angreek1", 14, 1253, false, K::Unknown, false},
    {"ANSII850", 0x11, 1252, false, K::BaseLetter, true},
    {"BLROM800", 0x14, vxRoman8CodePage, false, K::Unknown, false},
    {"SPANISH", 22, 437, true, K::Unknown, false},
    {"BLLT1US0", 0x37, 1252, false, K::Unknown, false},
    {"DBWINES0", 60, 1252, false, K::Unknown, false},
    {"DBWINWE0", 0x40, 1252, false, K::Unknown, false},
    {"grcp437", 74, 737, true, K::Unknown, false},
    {"DBWINUS0", 0x4C, 1252, false, K::Bytes, false},
    {"ANSINOR4", 78, 1252, false, K::Unknown, true},
    {"intl850", 0x54, 850, true, K::Unknown, false},
    {"ANSISPAN", 93, 1252, false, K::Unknown, true},
    {"anpolish", 94, 1250, false, K::Unknown, false},
    {"ANSIINTL", 0x62, 1252, false, K::Unknown, true},
    {"ANSISWFN", 105, 1252, false, K::Unknown, true},
    {"ansislov", 111, 1250, false, K::Unknown, false},
    {"anthai", 117, 874, false, K::Unknown, false},
    {"hebrew", 125, 862, true, K::Unknown, false},
    {"nordan", 0x82, 865, true, K::Unknown, false},
    {"polish", 143, 852, true, K::Unknown, false},
    {"thai", 166, 437, true, K::Unknown, false},
    {"hun852dc", 177, 852, true, K::Unknown, false},
    {"intl", 0xB7, 437, true, K::Unknown, false},
    {"cyrr", 0xC0, 866, true, K::Unknown, false},
    {"turk", 198, 857, true, K::Unknown, false},
    {"iceland", 208, 861, true, K::Unknown, false},
    {"ANTURK", 213, 1254, false, K::Unknown, false},
    {"anczech", 220, 1250, false, K::Unknown, false},
    {"anhundc", 225, 1250, false, K::Unknown, false},
    {"cskamen", 226, 867, true, K::Unknown, false},
    {"nordan40", 0xE6, 865, true, K::Unknown, false},
    {"swedfin", 0xF0, 437, true, K::Unknown, false},
    {"slovene", 252, 852, true, K::Unknown, false},
};

ParadoxLanguageDriver driverOf(const Entry& e)
{
    return {e.name, e.codePage, e.sortOrder, e.kind, e.latin1Fold};
}

} // namespace

ParadoxLanguageDriver ParadoxDriverForSortOrder(std::uint8_t sortOrder)
{
    for (const auto& d : drivers)
        if (d.dos && d.sortOrder == sortOrder)
            return driverOf(d);
    return {};
}

std::optional<ParadoxLanguageDriver> ParadoxDriverNamed(std::string_view name)
{
    for (const auto& d : drivers)
        if (SameText(d.name, name))
            return driverOf(d);
    return std::nullopt;
}

} // namespace morvane
