#pragma once
// The structure of exported tables in SQLite's terms. Column types: Short, Long,
// Autoincrement and Logical (0/1) INTEGER; Number and Money REAL; Alpha, Memo, Formatted memo,
// BCD (its exact digits), Date, Time and Timestamp (ISO) TEXT; Bytes, Binary, OLE and Graphic
// BLOB. The primary key, the secondary indexes (UNIQUE, DESC, NOCASE as the index has them),
// the validity checks (required: NOT NULL; minimum and maximum: CHECK; default: DEFAULT) and
// the rules of the dependent side (FOREIGN KEY ... ON UPDATE/ON DELETE CASCADE or RESTRICT).
// Free functions, no state; nothing throws.

#include "model/TvxFieldValue.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "export/TvxExporter.h"
#include "export/vxExportValues.h"

namespace morvane {

// The tables the export adds beside the exported ones.
inline constexpr std::string_view vxChecksTable = "_morvane_checks";
inline constexpr std::string_view vxRejectedTable = "_morvane_rejected";

struct TvxSqliteCheckValue
{
    TvxCheckValue state = TvxCheckValue::None;
    TvxFieldValue value;
};

// One validity check as _morvane_checks lists it.
struct TvxSqliteCheckRow
{
    std::string field; // UTF-8
    int fieldType = 0;
    bool required = false;
    TvxSqliteCheckValue minimum;
    TvxSqliteCheckValue maximum;
    TvxSqliteCheckValue defaultValue;
    std::string picture; // UTF-8; empty when none
    std::string lookup;  // UTF-8: the table a value must be found in; empty when none
};

struct TvxSqliteIndex
{
    std::string sql;
    // The same index without UNIQUE, for records that break the uniqueness; empty when the
    // index is not unique.
    std::string fallbackSql;
    std::string description; // "index X of table T", for messages
};

struct TvxSqliteTableSchema
{
    std::string createTable;
    // "INSERT INTO "T" ": followed by a SELECT of one column per field, it adds the records.
    std::string insertInto;
    std::vector<TvxSqliteIndex> indexes;
    // Position of the field that is the table's INTEGER PRIMARY KEY, which SQLite cannot keep
    // blank (it would number the record itself); -1 when none.
    int rowidKey = -1;
    std::vector<TvxSqliteCheckRow> checks;
};

// The schema of every table, in the same order; a rule whose master table is not exported or
// whose fields are not its master's key, and a key or index over fields the table does not
// have, are left out with a line in warnings.
std::vector<TvxSqliteTableSchema> SqliteSchemas(const std::vector<TvxExportTable>& tables,
                                                std::vector<std::string>& warnings);

// "name" with its quotes doubled.
std::string SqliteName(std::string_view name);
// 'text' with its quotes doubled.
std::string SqliteText(std::string_view text);
const char* SqliteColumnType(int fieldType);

} // namespace morvane
