#pragma once
// Everything the writer decides about a table's files before it writes a byte: level and
// version, fields as the disk holds them, record and key layout, block sizes, language driver,
// key, the secondary indexes with their file names and X layouts, the .VAL contents and the
// family's stamps. ParadoxPlanTable throws EvxEngineError(vxErrCannotWrite) for a structure
// the format cannot hold, naming the table and the reason.

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "db/paradox/ParadoxKeyOrder.h"
#include "db/paradox/ParadoxTableHeader.h"
#include "db/paradox/ParadoxValFile.h"
#include "db/paradox/ParadoxWriter.h"
#include "db/paradox/ParadoxWriterHeaders.h"

namespace morvane {

struct ParadoxIndexPlan
{
    bool composite = false;    // .XGn rather than .Xnn
    int number = 0;            // nn or n
    std::string name;          // stored name (.XGn); the field's name for .Xnn
    std::string xExtension;    // "X02", "XG0"
    std::string yExtension;
    std::vector<int> fields;   // 1-based table positions
    std::vector<bool> descendingFields;
    bool caseInsensitive = false;
    bool unique = false;
    bool descending = false;
    bool maintained = false;   // keyed tables; an unkeyed table's index is written empty
    std::uint8_t stamp = 0;    // X 0x2D = Y 0x2C
    std::uint8_t yBlockSizeKb = 2;
    std::vector<ParadoxField> xFields; // index fields, the table's key, Blk Num
    std::size_t xRecordBytes = 0;
    // Over the index fields of an X record (the table's key after them orders entries of one
    // value; they come from the table in key order).
    ParadoxKeyOrder valueOrder;
};

struct ParadoxTablePlan
{
    std::string tableName; // file base ("CUST")
    int level = 7;
    std::uint8_t fileVersion = 12;
    std::vector<ParadoxField> fields; // disk type, size byte, name, id
    std::vector<std::size_t> offsets;
    std::size_t recordBytes = 0;
    int keyFields = 0;
    std::size_t keyBytes = 0;
    ParadoxKeyOrder keyOrder;
    std::uint8_t blockSizeKb = 2;
    std::size_t perBlock = 0;
    std::uint8_t treeBlockSizeKb = 2; // .PX
    std::string languageDriver;
    std::uint8_t sortOrder = 0;
    std::uint16_t codePage = 1252; // the header's word
    int textCodePage = 1252;
    std::uint32_t passwordKey = 0;
    std::uint16_t hiFieldId = 0;
    std::uint32_t autoInc = 0;
    std::uint8_t flags55 = 0;
    std::uint32_t updateTime = 0;
    ParadoxHeaderCarry carry;
    bool hasBlobs = false;
    std::vector<ParadoxIndexPlan> indexes;
    std::optional<ParadoxValFile> val;
    std::vector<std::string> warnings;

    // Stamps that tie the family together: DB 0x2D = PX 0x2C = X 0x2F (the restructure
    // version: the descriptor's, 2 for a new table) and DB 0x2E = X 0x2E = VAL byte 0.
    std::uint8_t changeCount1 = 2;
    static constexpr std::uint8_t ChangeCount2 = 1;

    std::size_t blockBytes() const { return std::size_t{blockSizeKb} * 1024; }
    std::map<std::string, std::string> extensions; // ParadoxWriteOptions::extensions
    std::string fileName(std::string extension) const
    {
        if (const auto it = extensions.find(extension); it != extensions.end())
            return tableName + "." + it->second;
        const auto db = extensions.find("DB");
        if (db != extensions.end() && db->second == "db")
            for (char& c : extension)
                c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c);
        return tableName + "." + extension;
    }
    // Header images without block counts.
    ParadoxTableImage tableImage() const;
    ParadoxTableImage xImage(const ParadoxIndexPlan& index) const;
    ParadoxTreeImage pxImage() const;
    ParadoxTreeImage yImage(const ParadoxIndexPlan& index) const;
};

ParadoxTablePlan ParadoxPlanTable(const TvxTableDesc& desc, const std::string& tableName,
                                  const ParadoxWriteOptions& options);

// Disk type code of an engine field type (257-273); 0 for another code.
std::uint8_t ParadoxDiskTypeOf(int engineType);
// The sort-order byte of a language driver known by name (letter case ignored).
std::optional<std::uint8_t> ParadoxSortOrderOf(const std::string& languageDriver);

} // namespace morvane
