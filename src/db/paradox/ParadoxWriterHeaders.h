#pragma once
// The header bytes of the files the writer makes: tables and X files (common part, data
// header for level 4+, field list, names, ids, language driver, index name) and the index
// trees .PX and .Y* (common part, key fields, name area). Pure functions of their
// description; the block counts are filled in once the blocks are written.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "db/paradox/ParadoxTableHeader.h"

namespace morvane {

struct ParadoxBlockCounts
{
    std::uint32_t records = 0;
    std::uint16_t blocks = 0; // used = in the file: a fresh file has no free blocks
    std::uint16_t first = 0;
    std::uint16_t last = 0;
};

// A .DB or X file.
struct ParadoxTableImage
{
    std::uint8_t fileType = 2;
    std::uint8_t fileVersion = 12; // 3 (3.0), 4 (3.5), 9, 11, 12
    std::uint8_t blockSizeKb = 2;
    ParadoxBlockCounts counts;
    std::uint16_t unknown12 = 0;
    std::uint8_t indexFieldNumber = 0; // X: table position of the first index field
    std::uint16_t keyFields = 0;       // 0x23
    std::uint32_t passwordKey = 0;
    std::uint8_t sortOrder = 0;
    std::array<std::uint8_t, 4> stamps{}; // 0x2C-0x2F
    std::uint8_t writeProtected = 0;
    std::uint32_t autoInc = 0;          // 0x49
    std::uint8_t flags55 = 0;
    bool unknown3EZero = false;         // 0x3E = 0 instead of 0x0F1F (protected tables)
    // Data header (level 4+).
    std::uint32_t updateTime = 0;
    std::uint16_t hiFieldId = 0;
    std::uint16_t codePage = 0;
    std::uint8_t unknown6C = 1;
    std::uint8_t unknown6D = 1;
    std::uint16_t changeCount4 = 0;
    std::array<std::uint8_t, 6> unknown72{};
    // Variable part.
    std::vector<ParadoxField> fields; // type, size, name, id
    std::string nameArea;             // the table-name area's text ("CUST.DB")
    std::string languageDriver;
    std::string indexName;            // XGn only
    bool hasIndexName = false;

    bool hasDataHeader() const { return fileVersion >= 5; }
    std::uint16_t recordSize() const;
    // Bytes before the first block: a multiple of 0x800, or for level 3.0 the parsed part.
    std::uint16_t headerSize() const;
    std::vector<std::uint8_t> build() const;
};

// A .PX or .Y* file.
struct ParadoxTreeImage
{
    std::uint8_t fileType = 1;
    std::uint8_t fileVersion = 12;
    std::uint8_t blockSizeKb = 2;
    ParadoxBlockCounts counts; // records: the entries of all index blocks
    std::uint16_t unknown12 = 0;
    std::uint16_t root = 1;
    std::uint8_t levels = 0;
    std::uint8_t sortOrder = 0;
    std::uint8_t stamp = 0;             // 0x2C
    std::uint32_t counter49 = 1;
    std::vector<ParadoxField> keyFields; // type and size
    std::string nameArea;

    std::uint16_t recordSize() const; // key bytes + 6
    std::uint16_t headerSize() const { return 0x800; }
    std::vector<std::uint8_t> build() const;
};

} // namespace morvane
