#pragma once
// The bytes of a table's .VAL file (the layout of levels 4 and later): validity checks with
// their values in record encoding, both sides of referential-integrity rules, and the footer
// repeating the table's fields. The file's identity (change count, version, update time,
// field ids and types) is the table's, so the engine takes the file as belonging to it.
// Pure function; the caller checks the values' lengths against the fields.

#include <cstdint>
#include <string>
#include <vector>

#include "db/paradox/ParadoxTableHeader.h"
#include "db/paradox/ParadoxValFile.h"

namespace morvane {

// What the .VAL repeats of its table's .DB header.
struct ParadoxValIdentity
{
    std::uint8_t changeCount = 0; // DB 0x2E
    std::uint8_t version = 0;     // DB 0x39
    std::uint32_t updateTime = 0; // DB 0x60
    std::uint16_t hiFieldId = 0;  // DB 0x64 (its low byte is kept)
    std::uint16_t keyFields = 0;
    std::vector<ParadoxField> fields; // type, size, name, id
    std::string nameArea;             // the footer's table name ("CUST.DB")
};

std::vector<std::uint8_t> ParadoxBuildValFile(const ParadoxValIdentity& table, const ParadoxValFile& content);

} // namespace morvane
