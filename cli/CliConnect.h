#pragma once
// What the subcommands that read a database share: connecting to a directory or an alias
// with the passwords given on the command line, and names from the file system as UTF-8.

#include "db/cpDatabase.h"

#include <string>
#include <vector>

namespace morvane::cli {

// Adds the passwords to the database's session and connects it to source (a directory, else
// an alias). False, with a message on stderr, when source is neither; engine errors propagate.
bool Connect(TvxDatabase& db, const std::string& source, const std::vector<std::string>& passwords);

// A table or file name from the file system: as it is when it is UTF-8 already, else read in
// the table's code page (files copied from older systems).
std::string FileSystemName(const std::string& name, int codePage);

} // namespace morvane::cli
