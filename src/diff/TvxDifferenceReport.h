#pragma once
// TvxDifferenceReport: what a script made from the difference of two databases does, table by
// table, for the command line and the editor to show. Names are in the tables' code pages.

#include <string>
#include <vector>

namespace morvane {

struct TvxTableDifference
{
    enum class Action {
        Added,   // in both databases: "Add table" from the source, then its field commands
        Created, // only in the wanted database: "Create table" and its fields
        LeftOut  // only in the source database: not in the new structure
    };
    Action action = Action::Added;
    std::string table;
    std::vector<std::string> created;   // field names
    std::vector<std::string> changed;   // "NAME: type 257 size 20 -> type 257 size 40"
    std::vector<std::string> renamed;   // "OLD -> NEW"
    std::vector<std::string> moved;     // field names (taken out and put back at their place)
    std::vector<std::string> deleted;   // field names (their values are not carried)
    std::vector<std::string> structure; // primary key, index, check and rule differences
    std::vector<std::string> notes;     // what the scripts do not carry (level, password, …)

    bool Unchanged() const;
};

struct TvxDifferenceReport
{
    std::vector<TvxTableDifference> tables;

    // No table created, left out or changed.
    bool Unchanged() const;
    // One line per table and one indented line per change.
    std::vector<std::string> Lines() const;
};

} // namespace morvane
