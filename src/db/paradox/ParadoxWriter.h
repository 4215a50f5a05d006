#pragma once
// ParadoxWriteTable: writes the whole family of one table from its descriptor and its records:
// .DB (levels 3.0, 3.5, 4, 5, 7), .PX for a key, one .Xnn/.Ynn or .XGn/.YGn pair per secondary
// index, .VAL for validity checks and referential integrity (either side), .MB for blobs, all
// encrypted for a protected table. The family is written into a working directory inside
// the target, checked (ParadoxCheckFamily) and only then moved into place; any failure (disk
// full, no permission, a value or structure that cannot be written, two records with one key)
// removes what was written, leaves the target as it was and throws EvxEngineError naming the
// table and the fault. Memory does not grow with the records beyond sortMemoryBytes: a keyed
// table's records and each index's entries are sorted in runs on disk above it.

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "db/IvxRecordSource.h"
#include "db/paradox/ParadoxWriterFiles.h"
#include "model/clvxTableDesc.h"

namespace morvane {

inline constexpr int vxErrKeyViolation = 9729;     // two records with the same key
inline constexpr int vxErrTargetHasTable = 13057;  // the target holds a table of that name
inline constexpr int vxErrCannotWrite = 13058;     // a structure or value the format cannot hold
inline constexpr int vxErrSourceIsTarget = 13059;  // the target is the directory read from

// What a rewrite keeps of the source table's own header, where the descriptor has no place for
// it (ParadoxHeaderCarryOf reads it from a .DB header). Defaults suit a new table.
struct ParadoxHeaderCarry
{
    std::vector<std::uint16_t> fieldIds; // empty: 1..n
    std::uint16_t hiFieldId = 0;         // 0: highest id + 1
    std::uint32_t autoInc = 0;           // raised to the highest Autoincrement value written
    std::uint8_t fileVersion = 0;        // 0x39 when it belongs to the written level (3.5, 4.x variants)
    std::optional<std::uint8_t> sortOrder;
    // The header's code-page word (0: the driver's), kept while it still names the text's code page.
    std::optional<std::uint16_t> codePageWord;
    std::uint8_t writeProtected = 0;
    std::uint8_t unknown6C = 1;
    std::uint8_t unknown6D = 1;
    std::array<std::uint8_t, 6> unknown72{};
};

// The extensions of the family of tableName in directory, for ParadoxWriteOptions::extensions.
std::map<std::string, std::string> ParadoxFamilyExtensions(ParadoxWriterFiles& files, const std::string& directory,
                                                           const std::string& tableName);

// Throws EvxEngineError(vxErrInvalidFile) for a damaged header.
ParadoxHeaderCarry ParadoxHeaderCarryOf(const std::uint8_t* header, std::size_t size, std::uint64_t fileSize,
                                        const std::string& fileName);

struct ParadoxWriteOptions
{
    int level = 0;            // 3, 4, 5 or 7; 0: the descriptor's (7 when it has none)
    std::string password;     // the password of a protected table (or give its key)
    std::uint32_t passwordKey = 0;
    ParadoxHeaderCarry carry;
    // The descriptor of another table by file name ("ITENS.DB"), for the index names the master
    // side of a rule records; may be empty.
    std::function<const TvxTableDesc*(std::string_view fileName)> otherTable;
    std::string sourceDirectory; // the directory the records come from: refused as the target
    // Extensions as a rewrite's source spelled them, by extension in capitals ("PX" -> "px"):
    // a file of the family gets its source's letter case; one the source lacked, that of its
    // .DB. A new table's are capitals ("CUST.DB", "CUST.PX", "CUST.XG0").
    std::map<std::string, std::string> extensions;
    bool replace = false;        // replace a family of the same name (else vxErrTargetHasTable)
    std::size_t sortMemoryBytes = std::size_t{64} << 20;
    ParadoxWriterFiles* files = nullptr; // null: the real file system
    std::uint32_t updateTime = 0;        // 0: now
};

struct ParadoxWriteResult
{
    std::vector<std::string> files; // written, .DB first
    std::uint32_t records = 0;
    int level = 0;
    // What had to change to write the table (level raised, a TODAY default left out).
    std::vector<std::string> warnings;
};

// tableName: the file name without extension ("CUST"); its letter case is kept.
ParadoxWriteResult ParadoxWriteTable(const TvxTableDesc& desc, IvxRecordSource& records, const std::string& directory,
                                     const std::string& tableName, const ParadoxWriteOptions& options = {});

} // namespace morvane
