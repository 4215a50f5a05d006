#pragma once
// The structure of exported tables in SQLite's terms. Column types: Short, Long,
// Autoincrement and Logical (0/1) INTEGER; Number and Money REAL; Alpha, Memo, BCD (its exact
// digits), Date, Time and Timestamp (ISO) TEXT; Formatted memo, Bytes, Binary, OLE and Graphic
// BLOB. The primary key, the secondary indexes (UNIQUE, DESC, NOCASE as the index has them),
// the validity checks (required: NOT NULL; minimum and maximum: CHECK; default: DEFAULT) and
// the rules of the dependent side (FOREIGN KEY ... ON UPDATE/ON DELETE CASCADE or RESTRICT).
// Free functions, no state; nothing throws.

#include <string>
#include <vector>

#include "export/vxExportSchema.h"

namespace morvane {

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
    std::vector<TvxExportCheck> checks;
};

// The schema of every table, in the same order (see ExportSchemas for what is left out).
std::vector<TvxSqliteTableSchema> SqliteSchemas(const std::vector<TvxExportTable>& tables,
                                                std::vector<std::string>& warnings);

const char* SqliteColumnType(int fieldType);

} // namespace morvane
