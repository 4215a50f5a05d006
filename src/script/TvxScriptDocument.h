#pragma once
// The script document (.vxscript): header (TvxScriptFileVersion with the application name,
// "1.0", file kind 0), the command section, then the tables section (the new-structure table
// list's descriptor records).
//
// Save writes to a temporary file in the target's directory and renames it over the target
// only when everything was written and flushed to disk: a failed save leaves the previous
// document as it was and no temporary file behind. A target that is a symbolic link keeps
// it: the file it points to is replaced. Failures throw EFCreateError "Cannot create file %s"
// (naming the target) or EWriteError.
//
// Open reads the header (ignored), appends the commands to the script through
// LoadFromStream, whose AfterLoad rebuilds the tables, then reads the tables section. The
// caller empties script and table list first. Failures throw EFOpenError "Cannot open file
// %s", EReadError, or whatever AfterLoad throws; what was loaded before the failure stays.

#include <functional>
#include <string>
#include <string_view>

namespace morvane {

class TvxStream;
class TvxDBScriptLoader;
class TvxScriptTableList;

inline constexpr const char* vxScriptVersion = "1.0";

using TvxSectionWriter = std::function<void(TvxStream&)>;
using TvxSectionReader = std::function<void(TvxStream&)>;

void WriteScriptDocument(TvxStream& stream, std::string_view appName, const TvxDBScriptLoader& script,
                         const TvxSectionWriter& writeTables);
void ReadScriptDocument(TvxStream& stream, TvxDBScriptLoader& script, const TvxSectionReader& readTables);

void SaveScriptDocument(const std::string& fileName, std::string_view appName, const TvxDBScriptLoader& script,
                        const TvxSectionWriter& writeTables);
void SaveScriptDocument(const std::string& fileName, std::string_view appName, const TvxDBScriptLoader& script,
                        const TvxScriptTableList& tables);

void OpenScriptDocument(const std::string& fileName, TvxDBScriptLoader& script, const TvxSectionReader& readTables);
// Returns whether the descriptor records were read (the count in the file equalled the number
// of tables that replaying the commands built).
bool OpenScriptDocument(const std::string& fileName, TvxDBScriptLoader& script, TvxScriptTableList& tables);

// Writes a whole file through `write` into a temporary file beside fileName, then renames it
// over fileName. Used by every file the program saves.
void SaveFileAtomically(const std::string& fileName, const std::function<void(TvxStream&)>& write);

} // namespace morvane
