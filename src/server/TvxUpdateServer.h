#pragma once
// TvxUpdateServer: the update server of this program. It applies an update script (.vxusp) or
// a maintenance script (.vxmsp) to a target directory, all or nothing, reading the source
// database and never writing into it:
//  - update script: the source (SetSource: alias or directory; else the script's Add alias)
//    is read; the target is SetNewPath, else the script's Add new alias (its directory, or its
//    alias's path). The commands build the new tables in script order.
//  - maintenance script: every table it describes is brought to that structure in the target
//    (SetNewPath, else the source itself): restructured with its records converted when it
//    exists, created empty when not. Tables it does not describe are left alone.
// Every table is written into a working directory inside the target and checked; only then
// are all of them moved into place under the target's journal (TvxStagingArea), so a crash at
// any instant leaves the target wholly old or wholly new. A run holds the target's lock from
// planning to the end of the commit (306 when another run keeps it longer than the wait) and
// first recovers what an interrupted run left (TvxTargetGuard), saying so in the report's notes.
// Files of a table we do not rewrite (.TV, .FAM, forms, reports) stay, or are kept aside and
// named when the table's fields change; an update carries a source table's ones when it keeps
// its fields. Records
// that cannot be carried unchanged are kept in PROBLEM_<TABLE>.DB / KEYVIOL_<TABLE>.DB and
// Run answers 300. A dry run reads and converts everything and writes nothing.
// RegisterUpdateServer makes CovxUpdateServer create it.

#include <chrono>
#include <string>
#include <vector>

#include "script/IvxUpdateServer.h"
#include "script/TvxUpdateReport.h"

namespace morvane {

class ParadoxWriterFiles;
class TvxPlatformFiles;
class TvxTargetGuard;
struct TvxUpdateScriptFile;

class TvxUpdateServer : public IvxUpdateServer
{
public:
    // files: the file system the tables are written through, platform: the one of the commit,
    // the lock and recovery (neither owned); null: the real ones.
    explicit TvxUpdateServer(ParadoxWriterFiles* files = nullptr, TvxPlatformFiles* platform = nullptr);
    // How long a run waits for another run's lock on the target before it answers 306.
    void SetLockWait(std::chrono::milliseconds wait) { lockWait_ = wait; }

    std::string ScriptFile() const override { return scriptFile_; }
    void SetScriptFile(std::string_view fileName) override { scriptFile_ = fileName; }
    std::string Source() const override { return source_; }
    void SetSource(std::string_view source) override { source_ = source; }
    std::string NewPath() const override { return newPath_; }
    void SetNewPath(std::string_view path) override { newPath_ = path; }
    int Run() override;
    void AddPassword(std::string_view password) override { passwords_.emplace_back(password); }

    void SetDryRun(bool dryRun) override { dryRun_ = dryRun; }
    void SetProgress(TvxUpdateProgressEvent onProgress) override { onProgress_ = std::move(onProgress); }
    const TvxUpdateReport& Report() const override { return report_; }

private:
    int Execute();
    // Reads, plans, builds and (unless previewing) commits, the target held by guard.
    void ApplyScript(const TvxUpdateScriptFile& script, bool update, const std::string& sourceDir,
                     const std::string& target, bool targetExisted, const TvxTargetGuard* guard,
                     TvxPlatformFiles& platform);

    ParadoxWriterFiles* files_;
    TvxPlatformFiles* platform_;
    std::chrono::milliseconds lockWait_;
    std::string scriptFile_;
    std::string source_;
    std::string newPath_;
    std::vector<std::string> passwords_;
    bool dryRun_ = false;
    TvxUpdateProgressEvent onProgress_;
    TvxUpdateReport report_;
};

// Registers TvxUpdateServer with CovxUpdateServer.
void RegisterUpdateServer();

} // namespace morvane
