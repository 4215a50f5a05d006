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
// are all of them moved into place, the tables they replace kept until all are in. Records
// that cannot be carried unchanged are kept in PROBLEM_<TABLE>.DB / KEYVIOL_<TABLE>.DB and
// Run answers 300. A dry run reads and converts everything and writes nothing.
// RegisterUpdateServer makes CovxUpdateServer create it.

#include <string>
#include <vector>

#include "script/IvxUpdateServer.h"
#include "script/TvxUpdateReport.h"

namespace morvane {

class ParadoxWriterFiles;

class TvxUpdateServer : public IvxUpdateServer
{
public:
    // files: the file system the run writes through (not owned); null: the real one.
    explicit TvxUpdateServer(ParadoxWriterFiles* files = nullptr);

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

    ParadoxWriterFiles* files_;
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
