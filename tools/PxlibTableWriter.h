#pragma once
// Paradox 7 tables written with pxlib: a table with its primary index (.DB, .PX), and
// secondary indexes (.Xnn/.Ynn for one field without options, .XGn/.YGn otherwise), whose
// headers are then given what pxlib does not write: the indexed fields' table positions,
// the index options and the index name. Returns false with a message on stderr on failure.

#include <filesystem>
#include <string>
#include <vector>

namespace example {

struct FieldSpec
{
    std::string name; // in the table's code page (Windows-1252)
    char type;        // pxlib type code (pxfAlpha, ...)
    int length;
    int decimals;
};

// One cell of a row.
struct Cell
{
    enum Kind { Null, Text, Integer, Real } kind = Null;
    std::string text;
    long integer = 0;
    double real = 0;
};
inline Cell text(const char* s) { return {Cell::Text, s, 0, 0}; }
inline Cell integer(long v) { return {Cell::Integer, {}, v, 0}; }
inline Cell real(double v) { return {Cell::Real, {}, 0, v}; }
inline Cell null() { return {}; }

using Row = std::vector<Cell>;

struct TableSpec
{
    std::string name; // file base name, e.g. "CLIENTES"
    std::vector<FieldSpec> fields;
    int keyFields = 0;
    std::vector<Row> rows; // in key order
};

struct IndexSpec
{
    std::string name;        // empty: a single-field index without options, named after its field
    std::vector<int> fields; // 1-based table positions
    bool caseInsensitive = false;
    int number = 0; // n of .XGn (composite indexes only)
};

bool WriteTable(const std::filesystem::path& dir, const TableSpec& table);
// The table must have a primary key; its rows are the table's, in any order.
bool WriteSecondaryIndex(const std::filesystem::path& dir, const TableSpec& table, const IndexSpec& index);

} // namespace example
