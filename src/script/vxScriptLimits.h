#pragma once
// What one script may hold. A real script stays far below these bounds (a table has at most 256
// fields, and the builder folds the commands of one field into one); a document that declares
// more is refused with EReadError before anything is built for it, and the builder refuses
// edits beyond them.

namespace morvane {

// Commands in one script (a document's or an update script's command section).
inline constexpr int MaxScriptCommands = 65536;
// Tables of the new structure.
inline constexpr int MaxScriptTables = 4096;

inline constexpr const char* STooManyCommands = "The script holds more commands than a script can (65536)";
inline constexpr const char* STooManyParams = "A command holds more parameters than its kind has";
inline constexpr const char* STooManyTables = "The script holds more tables than a structure can (4096)";

} // namespace morvane
