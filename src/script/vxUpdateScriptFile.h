#pragma once
// The update script (.vxusp: header of kind 1, flag, the commands) and the maintenance script
// (.vxmsp: header of kind 2, flag, one structure record per new table), written and read.
// Save* write through a temporary file renamed over the target (SaveFileAtomically); failures
// throw EFCreateError or EWriteError. ReadUpdateScriptFile throws EReadError for damaged bytes
// and EvxNotAnUpdateScript when the header names another kind of file.

#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "model/clvxTableDesc.h"
#include "script/TvxCommand.h"
#include "script/TvxUpdateFileVersion.h"

namespace morvane {

class TvxStream;
class TvxDBScriptLoader;
class TvxScriptTableList;

inline constexpr const char* vxUpdateScriptExt = ".vxusp";
inline constexpr const char* vxMaintenanceScriptExt = ".vxmsp";

void WriteUpdateScript(TvxStream& stream, std::string_view appName, const TvxDBScriptLoader& script);
void WriteMaintenanceScript(TvxStream& stream, std::string_view appName, const TvxScriptTableList& tables);
void SaveUpdateScript(const std::string& fileName, std::string_view appName, const TvxDBScriptLoader& script);
void SaveMaintenanceScript(const std::string& fileName, std::string_view appName, const TvxScriptTableList& tables);

// The path of a document without the extension of its file name: the script files are this
// base with ".vxusp" and ".vxmsp" appended. Dots in directory names do not count; a file name
// without a dot is kept whole.
std::string ScriptFileBase(std::string_view documentFileName);

class EvxNotAnUpdateScript : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

struct TvxUpdateScriptFile
{
    TvxUpdateFileVersion header; // FileKind is fkUpdateScript or fkMaintenanceScript
    std::vector<std::unique_ptr<TvxCommand>> commands; // update script
    std::vector<TvxTableDesc> tables;                  // maintenance script
};

TvxUpdateScriptFile ReadUpdateScriptFile(TvxStream& stream);
// Opens the file (EFOpenError when it cannot be opened) and reads it.
TvxUpdateScriptFile ReadUpdateScriptFile(const std::string& fileName);

} // namespace morvane
