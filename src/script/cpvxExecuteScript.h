#pragma once
// TvxExecuteScript: hands an update script (.vxusp) or a maintenance script (.vxmsp) to the
// update server and answers its result code. The server is created through CovxUpdateServer by
// the first execution whose script file exists and kept for the executor's life.
//
// Execute: the file is ScriptFileName + ".vxusp" (Mode 0) or ".vxmsp" (any other Mode). When it
// does not exist the result is -294 and no server is created or called. Otherwise the server is
// given, in this order, SetSource, SetNewPath, SetScriptFile, one AddPassword per entry of
// Passwords, then Run, whose code is the result. A non-zero result fires OnShowErrorMsg.
// CovxUpdateServer's EvxNoUpdateServer (no server installed) reaches the caller; no event then.
//
// Preview runs the same calls as a dry run (the server writes nothing) and answers the server's
// report of what a real run would do; it fires no event, so that the caller can show the report
// and ask whether to go on.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "script/IvxUpdateServer.h"
#include "script/TvxUpdateReport.h"

namespace morvane {

// The executor's own result code: the script file does not exist (text: id 294).
inline constexpr int vxExecScriptNotFound = -294;

using TvxShowErrorMsg = std::function<void(int CodError)>;
using TvxGetPassword = std::function<bool()>;

class TvxExecuteScript
{
public:
    enum : std::uint8_t { ModeUpdate = 0, ModeMaintenance = 1 };

    TvxExecuteScript();
    ~TvxExecuteScript();
    TvxExecuteScript(const TvxExecuteScript&) = delete;
    TvxExecuteScript& operator=(const TvxExecuteScript&) = delete;

    // The script's path without its extension.
    const std::string& ScriptFileName() const { return scriptFileName_; }
    void SetScriptFileName(std::string_view name);

    // A script file the user chose: its extension (letter case ignored) decides the mode,
    // ".vxusp" update and ".vxmsp" maintenance, and the rest of the path, blanks around it
    // removed, becomes ScriptFileName (dots in directory names are kept). Any other extension
    // changes nothing and answers false.
    bool SetChosenFile(std::string_view chosen);

    // The file Execute hands to the server: ScriptFileName with the mode's extension. When no
    // such file exists but one whose extension differs only in letter case does (a script
    // copied from a system that ignores case), that one.
    std::string ScriptFile() const;

    int Execute(std::string_view source, std::string_view newPath);
    TvxUpdateReport Preview(std::string_view source, std::string_view newPath);

    // The report of the last run or preview; empty before the first.
    const TvxUpdateReport& Report() const;
    // Whether the server was created (by an execution that found its file).
    bool HasServer() const { return server_ != nullptr; }

    // Progress of a run, handed to the server (now, or when it is created).
    void SetOnProgress(TvxUpdateProgressEvent onProgress);

    std::uint8_t Mode = ModeUpdate;
    std::vector<std::string> Passwords;
    TvxGetPassword OnGetPassword; // never fired
    TvxShowErrorMsg OnShowErrorMsg;

private:
    // The server, created when first needed and given the run's values; null when the file
    // does not exist (report_ then says so).
    IvxUpdateServer* Prepare(std::string_view source, std::string_view newPath);

    std::unique_ptr<IvxUpdateServer> server_;
    std::string scriptFileName_;
    TvxUpdateProgressEvent onProgress_;
    TvxUpdateReport report_;
};

} // namespace morvane
