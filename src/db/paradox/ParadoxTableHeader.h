#pragma once
// Header of any Paradox file of a table's family (.DB, .PX, .Xnn/.XGn, .Ynn/.YGn), parsed
// from a byte buffer. ParseParadoxHeader checks every count, offset and length against the
// buffer and the file size and throws EvxEngineError(vxErrInvalidFile) naming the file.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "db/paradox/ParadoxLayout.h"

namespace morvane {

struct ParadoxField
{
    std::uint8_t type = 0;  // disk code
    std::uint8_t size = 0;  // size byte as stored (BCD: decimals; blobs: leader + 10)
    std::string name;       // empty in .PX and .Y* files
    std::uint16_t id = 0;   // persistent id (tables) or position/flags (X files); 0 when absent

    int length() const;     // bytes in a record
    int engineType() const; // physical engine code 257..273
    int units1() const;
    int units2() const;
};

struct ParadoxTableHeader
{
    std::uint16_t recordSize = 0;
    std::uint16_t headerSize = 0;
    ParadoxFileType fileType = ParadoxFileType::KeyedTable;
    std::uint8_t blockSizeKb = 0;
    std::uint32_t numRecords = 0;
    std::uint16_t fileBlocks = 0;
    std::uint16_t firstBlock = 0;
    std::uint16_t lastBlock = 0;
    std::uint8_t indexFieldNumber = 0;
    std::uint16_t numFields = 0;
    std::uint16_t primaryKeyFields = 0;
    std::uint32_t encryption1 = 0;
    std::uint8_t sortOrder = 0;
    std::uint8_t changeCount1 = 0;
    std::uint8_t changeCount2 = 0;
    std::uint8_t writeProtected = 0;
    std::uint8_t fileVersionId = 0;
    std::uint8_t auxPasswords = 0;
    std::uint32_t autoInc = 0;
    std::uint16_t realHeaderSize = 0;
    std::uint8_t flags55 = 0; // .DB: referential-integrity flags; .X*: index options

    // Data header (level 4+ tables and X files).
    bool hasDataHeader = false;
    std::uint32_t encryption2 = 0;
    std::uint32_t fileUpdateTime = 0;
    std::uint16_t hiFieldId = 0;
    std::uint16_t codePage = 0;
    std::uint16_t changeCount4 = 0;

    std::string storedTableName; // creation name; not the table's name
    std::vector<ParadoxField> fields;
    std::string languageDriver;  // level 4+ tables and X files
    std::string indexName;       // X files only
    bool pointersAgree = true;   // the header's own pointers confirm the sequential parse

    bool isTable() const { return fileType == ParadoxFileType::KeyedTable || fileType == ParadoxFileType::UnkeyedTable; }
    bool isSecondaryX() const
    {
        return fileType == ParadoxFileType::SecondaryX || fileType == ParadoxFileType::MaintainedX ||
               fileType == ParadoxFileType::CompositeX || fileType == ParadoxFileType::MaintainedCompositeX;
    }
    bool isCompositeX() const
    {
        return fileType == ParadoxFileType::CompositeX || fileType == ParadoxFileType::MaintainedCompositeX;
    }
    bool isMaintainedX() const
    {
        return fileType == ParadoxFileType::MaintainedX || fileType == ParadoxFileType::MaintainedCompositeX;
    }
    bool hasNames() const { return isTable() || isSecondaryX(); }
    // 3, 4, 5 or 7.
    int tableLevel() const;
    // Password checksum stored in the file; 0 = not protected.
    std::uint32_t passwordKey() const;
};

// data/size: the first bytes of the file (at least its header); fileSize: the whole file's
// size in bytes (counts of data blocks are checked against it).
ParadoxTableHeader ParseParadoxHeader(const std::uint8_t* data, std::size_t size, std::uint64_t fileSize,
                                      const std::string& fileName);

// The header's first size bytes are enough for the parse: the number of bytes it reads from
// the start of the file (its fixed part, field list and names), else 0 (more are needed).
std::size_t ParadoxHeaderUsedBytes(const std::uint8_t* data, std::size_t size);
// The parse from the first bytes of the header only (at least ParadoxHeaderUsedBytes of them);
// same result as ParseParadoxHeader on the whole header, and the same checks except that the
// whole header be present. A read past the bytes given throws as a truncated file does.
ParadoxTableHeader ParseParadoxHeaderStart(const std::uint8_t* data, std::size_t size, std::uint64_t fileSize,
                                           const std::string& fileName);

} // namespace morvane
