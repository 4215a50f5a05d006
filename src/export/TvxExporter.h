#pragma once
// Export of a connected database's tables with their records: to CSV (one file per table in
// a directory), to one SQLite database or into a PostgreSQL schema; the databases carry the
// structure as well (keys, indexes, validity checks, referential-integrity rules). The output
// appears only when complete.
//
// ExportDatabase throws EvxEngineError for the engine's faults (a table that does not exist,
// a protected table without its password, a table whose structure is damaged) and
// EvxExportError for the output's (it exists, it cannot be written); either way the target
// is left as it was. A damaged value is not a failure: its record is written with the value
// blank, counted and named in the warnings. A text's NUL bytes, which no text column holds,
// are changed as ReplaceTextNuls says, each value changed counted and named in the warnings.

#include "model/clvxTableDesc.h"

#include <cstdint>
#include <string>
#include <vector>

namespace morvane {

class TvxDatabase;

enum class TvxExportFormat { Csv, Sqlite, Postgres };

struct TvxExportOptions
{
    TvxExportFormat format = TvxExportFormat::Sqlite;
    // The SQLite file, the directory of the CSV files, or the PostgreSQL connection string
    // (libpq's: never repeated in a message, as it may hold a password).
    std::string output;
    std::string schema = "public"; // PostgreSQL: where the tables go
    // Tables by the name the table list shows or by file name, any letter case; empty: all.
    std::vector<std::string> tables;
    bool force = false; // replace an existing output (PostgreSQL: the tables the schema holds)
};

// One table as an export target sees it.
struct TvxExportTable
{
    std::string name;       // UTF-8: the table's name in the output
    std::string engineName; // "CUSTOMER.DB": the name the engine's reads take
    TvxTableDesc desc;
};

struct TvxExportTableResult
{
    std::string name;
    std::uint64_t records = 0;  // written
    std::uint64_t rejected = 0; // the database refused them (a check or the key): kept in _morvane_rejected
    std::uint64_t damaged = 0;  // records written with a damaged value blank
    std::uint64_t altered = 0;  // text values written with their NUL bytes changed
};

struct TvxExportResult
{
    std::vector<TvxExportTableResult> tables;
    // What the output could not carry as the tables have it, one sentence each.
    std::vector<std::string> warnings;
    // Tables that could not be read (damaged), each with its reason; the others are exported.
    std::vector<std::string> skipped;
};

TvxExportResult ExportDatabase(TvxDatabase& db, const TvxExportOptions& options);

} // namespace morvane
