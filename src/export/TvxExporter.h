#pragma once
// Export of a connected database's tables with their records: to CSV (one file per table in
// a directory) or to one SQLite database that carries the structure as well (keys, indexes,
// validity checks, referential-integrity rules). The output appears only when complete.
//
// ExportDatabase throws EvxEngineError for the engine's faults (a table that does not exist,
// a protected table without its password, a table whose structure is damaged) and
// EvxExportError for the output's (it exists, it cannot be written); either way the target
// is left as it was. A damaged value is not a failure: its record is written with the value
// blank, counted and named in the warnings.

#include "model/clvxTableDesc.h"

#include <cstdint>
#include <string>
#include <vector>

namespace morvane {

class TvxDatabase;

enum class TvxExportFormat { Csv, Sqlite };

struct TvxExportOptions
{
    TvxExportFormat format = TvxExportFormat::Sqlite;
    std::string output; // the SQLite file, or the directory of the CSV files
    // Tables by the name the table list shows or by file name, any letter case; empty: all.
    std::vector<std::string> tables;
    bool force = false; // replace an existing output
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
    std::uint64_t rejected = 0; // SQLite refused them (a check or the key): kept in _morvane_rejected
    std::uint64_t damaged = 0;  // records written with a damaged value blank
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
