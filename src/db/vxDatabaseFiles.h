#pragma once
// Whether a path names the directory of a database or a file of one of its tables, so that
// no output of ours replaces them. A table's files are those named "<base>.<anything>" beside
// its "<base>.DB" (letter case ignored); paths are compared with their symbolic links resolved,
// and an existing file also by identity (a hard link, a directory mounted twice).

#include <string>

namespace morvane {

// "" when path is none of them; else what it is, for a message: "the directory" or "a file of
// table CUSTOMER.DB". Never throws.
std::string DatabaseFileRole(const std::string& directory, const std::string& path);

} // namespace morvane
