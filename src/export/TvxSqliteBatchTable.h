#pragma once
// A table-valued source of records for SQLite: a virtual table of one connection whose rows
// are a range of prepared record values, so that "INSERT INTO t SELECT * FROM <name>" adds
// them all in one statement, each value taken once, with no parameters to bind. The virtual
// table lives in the connection until it closes (only while there is an object of this class
// may a statement read it); failures are EvxExportError.

#include <cstddef>
#include <memory>
#include <string>

struct sqlite3;

namespace morvane {

struct TvxSqliteValue;

class TvxSqliteBatchTable
{
public:
    // Adds the virtual table `name`, of columns "c1" to "c<columns>", to db.
    TvxSqliteBatchTable(sqlite3* db, const std::string& name, std::size_t columns);
    ~TvxSqliteBatchTable();
    TvxSqliteBatchTable(const TvxSqliteBatchTable&) = delete;
    TvxSqliteBatchTable& operator=(const TvxSqliteBatchTable&) = delete;

    // The rows: count records of `columns` values each, from values on. They must stay
    // unchanged while a statement reads the table.
    void SetRows(const TvxSqliteValue* values, std::size_t count);

    struct Rows; // shared with the virtual table's callbacks

private:
    Rows* rows_; // owned by the connection, which frees it when it closes
};

} // namespace morvane
