#pragma once
// One side of a comparison of two databases: how a script names the database (an alias, or a
// directory) and the structure of every table it holds, as the connection reads them.

#include "model/clvxTableDesc.h"

#include <map>
#include <string>
#include <vector>

namespace morvane {

class TvxDatabase;

struct TvxDiffDatabase
{
    std::string aliasName;            // empty when the database was given as a directory
    std::string directory;            // its directory (for an alias, the directory the alias points to)
    std::vector<TvxTableDesc> tables; // in the engine's order; TableName() as the table list shows it
    // The password that opens a protected table, by TableName(), where one was given.
    std::map<std::string, std::string> passwords;

    // The table whose name is upper-case equal to name (as the builder compares table names),
    // the first of them; null when none.
    const TvxTableDesc* Find(std::string_view name) const;
    // The password that opens table; empty when it is not protected or none given opens it.
    std::string PasswordOf(const TvxTableDesc& table) const;
};

// Reads every table of a connected database, and finds among passwords (those its session was
// given) the one that opens each protected table. The directory is made absolute, so that a
// script names the database wherever it is opened. Engine errors propagate; a damaged table
// throws vxErrInvalidFile (left out, it would read as one to create or delete).
TvxDiffDatabase ReadDiffDatabase(TvxDatabase& database, const std::vector<std::string>& passwords = {});

// Where the update is to be applied (the script's "Add new alias"); both empty: none recorded.
struct TvxDiffTarget
{
    std::string aliasName;
    std::string directory;

    bool Empty() const { return aliasName.empty() && directory.empty(); }
};

} // namespace morvane
