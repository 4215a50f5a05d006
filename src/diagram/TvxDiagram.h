#pragma once
// TvxDiagram: what a picture of a database shows, as plain data in UTF-8: its tables (fields
// with their types, key fields first, index and protection marks) and its referential-integrity
// rules (from the dependent table to its master). Drawn over a script, every table, field and
// rule also carries what the script does to it. Built by DiagramOfTables and DiagramOfScript,
// laid out by TvxDiagramGraph.

#include <string>
#include <string_view>
#include <vector>

namespace morvane {

// What the script does to a table, a field or a rule.
enum class TvxDiagramMark { None, Added, Removed, Renamed, Changed };

struct TvxDiagramField
{
    std::string name;
    std::string type;     // "A20", "N", "+": the type's letter and its size
    bool key = false;     // in the primary key
    bool indexed = false; // in a secondary index
    TvxDiagramMark mark = TvxDiagramMark::None;
    std::string oldName; // Renamed or Changed: the name it had, when another
    std::string oldType; // Changed: the type it had
};

struct TvxDiagramTable
{
    std::string name;                    // as the database lists it: the node's name in the graph
    std::vector<TvxDiagramField> fields; // key fields first, in key order
    int indexCount = 0;                  // secondary indexes
    bool protectedTable = false;
    bool missing = false; // named as master by a rule, not in the database
    TvxDiagramMark mark = TvxDiagramMark::None;
    std::string oldName; // Renamed: the source table's name
};

struct TvxDiagramRule
{
    std::string name;
    std::string dependent; // table names, as in TvxDiagram::tables
    std::string master;
    std::vector<std::string> fields;            // of the dependent table
    std::vector<std::string> masterFields;      // of the master's key
    bool cascade = false;                       // update rule: cascade, else prohibit
    TvxDiagramMark mark = TvxDiagramMark::None; // None, Added or Removed
};

struct TvxDiagram
{
    std::vector<TvxDiagramTable> tables;
    std::vector<TvxDiagramRule> rules;
    bool showsChanges = false; // drawn over a script: marks and their legend

    // Position of the table of that name (letter case ignored); -1 when none.
    int TableIndex(std::string_view name) const;
    // Position of the table of that name; when there is none, a box marked missing is added
    // for it (a master that a rule names and the database lacks).
    int TableOrMissing(const std::string& name);
};

// Names of tables compared as the file system of the other platform would: ASCII letters
// without regard to case, every other byte as it is (names are UTF-8 here).
bool SameTableName(std::string_view a, std::string_view b);

} // namespace morvane
