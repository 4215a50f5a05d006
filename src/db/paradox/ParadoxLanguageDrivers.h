#pragma once
// Language drivers of level 3 tables, which store only a sort-order byte: the driver's name
// and the code page of its text.

#include <cstdint>
#include <string>

namespace morvane {

struct ParadoxLanguageDriver
{
    std::string name; // empty when the byte is unknown
    int codePage = 0; // 0 when unknown
};

ParadoxLanguageDriver ParadoxDriverForSortOrder(std::uint8_t sortOrder);

} // namespace morvane
