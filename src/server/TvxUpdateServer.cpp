#include "server/TvxUpdateServer.h"

#include <filesystem>
#include <optional>
#include <set>

#include "platform/vxFileIo.h"

#include "db/EvxEngineError.h"
#include "db/TvxAliasConfig.h"
#include "db/paradox/ParadoxWriterFiles.h"
#include "model/vxCodePage.h"
#include "model/vxTextCase.h"
#include "platform/TvxPlatformFiles.h"
#include "script/CovxUpdateServer.h"
#include "script/TvxCommand.h"
#include "script/TvxScriptFileVersion.h"
#include "script/vxCommandParams.h"
#include "script/vxUpdateScriptFile.h"
#include "script/vxUpdateServerCodes.h"
#include "server/EvxRunError.h"
#include "server/TvxMaintenancePlanner.h"
#include "server/TvxParadoxTableReader.h"
#include "server/TvxParadoxTableWriter.h"
#include "server/TvxStagingArea.h"
#include "server/TvxTableBuilder.h"
#include "server/TvxTargetGuard.h"
#include "server/TvxUpdatePlanner.h"
#include "stream/EvxStreamError.h"
#include "platform/vxPath.h"

namespace morvane {

namespace {

bool IsDirectory(const std::string& path)
{
    TvxFileInfo info;
    return !path.empty() && vxPathInfo(path, info) && info.directory;
}

bool SameDirectory(const std::string& a, const std::string& b)
{
    return TvxPlatformFiles::System().SameFile(a, b);
}

// The directory an alias points to; empty when there is no such alias.
std::string AliasDirectory(const std::string& alias)
{
    try {
        const TvxAliasConfig config = TvxAliasConfig::Load(TvxAliasConfig::DefaultPath());
        const TvxAliasConfig::Alias* a = config.Find(alias);
        std::string path;
        if (a && TvxAliasConfig::ParamValue(a->params, "PATH", path))
            return path;
    } catch (const EvxEngineError&) {
    }
    return {};
}

// A database given as a directory or an alias name: its directory (empty when neither).
std::string DatabaseDirectory(const std::string& text)
{
    if (text.empty())
        return {};
    if (IsDirectory(text))
        return text;
    return AliasDirectory(text);
}

// The directory an alias command names: its directory, else its alias's.
std::string CommandDirectory(const TvxCommand& c)
{
    const std::string dir = c.ParamText(AliasParam::Directory);
    return dir.empty() ? AliasDirectory(c.ParamText(AliasParam::AliasName)) : dir;
}

const TvxCommand* FirstOfKind(const TvxUpdateScriptFile& script, int kind)
{
    for (const auto& c : script.commands)
        if (c->Kind() == kind)
            return c.get();
    return nullptr;
}

// A directory without tables, for a maintenance run whose target does not exist yet.
class TvxNoTables : public IvxTableReader
{
public:
    explicit TvxNoTables(std::string dir) : dir_(std::move(dir)) {}
    std::string Directory() const override { return dir_; }
    std::optional<std::string> FindTable(std::string_view) override { return std::nullopt; }
    TvxTableDesc ReadStructure(const std::string& file) override { throw Missing(file); }
    std::string OpeningPassword(const std::string& file) override { throw Missing(file); }
    std::int64_t RecordCount(const std::string& file) override { throw Missing(file); }
    std::unique_ptr<IvxRecordSource> OpenRecords(const std::string& file) override { throw Missing(file); }

private:
    EvxEngineError Missing(const std::string& file) const { return {vxErrNotFound, dir_ + "/" + file}; }
    std::string dir_;
};

// Makes the target directory and the missing ones above it; returns those made, innermost
// last. Throws EvxRunError 297.
std::vector<std::string> MakeTarget(ParadoxWriterFiles& files, const std::string& target)
{
    namespace fs = std::filesystem;
    std::vector<std::string> missing;
    for (fs::path p = vxPath(target).lexically_normal(); !p.empty() && !IsDirectory(vxPathString(p));
         p = p.parent_path()) {
        missing.insert(missing.begin(), vxPathString(p));
        if (p == p.parent_path())
            break;
    }
    std::vector<std::string> made;
    try {
        for (const std::string& dir : missing) {
            try {
                files.makeDirectory(dir);
            } catch (const std::exception&) {
                if (!IsDirectory(dir)) // else another run made it meanwhile
                    throw;
                continue;
            }
            made.push_back(dir);
        }
    } catch (const std::exception& e) {
        for (auto it = made.rbegin(); it != made.rend(); ++it)
            files.removeDirectory(*it);
        throw EvxRunError(vxRunTargetNotCreated, e.what());
    }
    return made;
}

// Tables the run must open that no password given opens.
void CheckPasswords(IvxTableReader& reader, const std::vector<std::string>& tables, TvxUpdateReport& report)
{
    for (const std::string& name : tables) {
        const std::optional<std::string> file = reader.FindTable(name);
        if (!file)
            continue;
        try {
            reader.OpeningPassword(*file);
        } catch (const EvxEngineError& e) {
            if (e.Code() != vxErrPasswordRequired)
                throw EvxRunError(vxRunSourceUnreadable, *file + ": " + e.what());
            if (std::find(report.passwordsNeeded.begin(), report.passwordsNeeded.end(), *file) ==
                report.passwordsNeeded.end())
                report.passwordsNeeded.push_back(*file);
        }
    }
    if (report.passwordsNeeded.empty())
        return;
    std::string names;
    for (const std::string& n : report.passwordsNeeded)
        names += (names.empty() ? "" : ", ") + n;
    throw EvxRunError(vxRunPasswordNeeded, names);
}

void RemoveMade(ParadoxWriterFiles& files, const std::vector<std::string>& made)
{
    for (auto it = made.rbegin(); it != made.rend(); ++it)
        files.removeDirectory(*it);
}

// The same fields in the same order (names, types, sizes): what a table view, form or report
// of the table was made for still fits.
bool SameFields(const TvxTableDesc& a, const TvxTableDesc& b)
{
    if (a.FieldCount() != b.FieldCount())
        return false;
    for (int i = 0; i < a.FieldCount(); ++i) {
        const TvxFieldDesc* fa = a.GetField(i);
        const TvxFieldDesc* fb = b.GetField(i);
        if (!fa || !fb || !SameText(fa->name(), fb->name()) || fa->type() != fb->type() ||
            fa->units1() != fb->units1() || fa->units2() != fb->units2())
            return false;
    }
    return true;
}

// Tables the commit replaces in the target whose fields change: their structure-bound files
// are kept aside. A table whose old structure cannot be read counts as changed.
std::set<std::string> StaleTables(const std::vector<TvxTablePlan>& plans, IvxTableReader* target)
{
    std::set<std::string> stale;
    for (const TvxTablePlan& p : plans) {
        if (p.origin == TvxTablePlan::Origin::Target) {
            if (!SameFields(p.originDesc, p.desc))
                stale.insert(UpperText(p.name));
            continue;
        }
        const std::optional<std::string> file = target ? target->FindTable(p.name) : std::nullopt;
        if (!file)
            continue;
        try {
            if (SameFields(target->ReadStructure(*file), p.desc))
                continue;
        } catch (const std::exception&) {
        }
        stale.insert(UpperText(p.name));
    }
    return stale;
}

// An update carries the files we do not rewrite of a source table it keeps the fields of
// (into the working directory, under the new table's name); otherwise it names them.
void CarrySourceFiles(TvxPlatformFiles& platform, const std::vector<TvxTablePlan>& plans, const std::string& sourceDir,
                      const std::string& workDir, TvxUpdateReport& report)
{
    for (const TvxTablePlan& p : plans) {
        if (p.origin != TvxTablePlan::Origin::Source)
            continue;
        const std::string base = TableBaseName(p.originFile);
        const bool same = SameFields(p.originDesc, p.desc);
        for (const std::string& name : UnwrittenFamilyFiles(platform, sourceDir, base)) {
            const std::string ext = name.substr(name.rfind('.'));
            if (same) {
                platform.CopyFile(sourceDir + "/" + name, workDir + "/" + p.name + ext);
                continue;
            }
            for (TvxTableUpdateReport& t : report.tables)
                if (SameText(TableBaseName(t.table), p.name))
                    t.notes.push_back(name + " of " + base + " not carried: the table's fields changed");
        }
    }
}

std::unique_ptr<IvxTableReader> OpenReader(const std::string& dir, const std::vector<std::string>& passwords)
{
    return std::make_unique<TvxParadoxTableReader>(dir, passwords);
}

} // namespace

TvxUpdateServer::TvxUpdateServer(ParadoxWriterFiles* files, TvxPlatformFiles* platform)
    : files_(files), platform_(platform), lockWait_(TvxTargetGuard::DefaultWait)
{
}

int TvxUpdateServer::Run()
{
    report_ = TvxUpdateReport();
    report_.dryRun = dryRun_;
    report_.scriptFile = scriptFile_;
    report_.source = source_;
    report_.target = newPath_;
    int code = vxRunOK;
    std::string detail;
    try {
        code = Execute();
    } catch (const EvxRunError& e) {
        code = e.Code();
        detail = e.what();
    } catch (const EvxEngineError& e) {
        code = vxRunSourceUnreadable;
        detail = e.what();
    } catch (const std::exception& e) {
        code = vxRunTableNotWritten;
        detail = e.what();
    }
    report_.code = code;
    report_.message = RunCodeText(code);
    if (!detail.empty()) // names in it may be a table's bytes: the message is UTF-8, converted once
        report_.message += ": " + (IsUtf8(detail) ? detail : CodePageToUtf8(detail, vxNewTableCodePage));
    return code;
}

int TvxUpdateServer::Execute()
{
    namespace fs = std::filesystem;
    std::error_code ec;
    if (scriptFile_.empty() || !fs::is_regular_file(vxPath(scriptFile_), ec))
        throw EvxRunError(vxRunScriptNotFound, scriptFile_);
    TvxUpdateScriptFile script;
    try {
        script = ReadUpdateScriptFile(scriptFile_);
    } catch (const std::exception& e) {
        throw EvxRunError(vxRunNotAScript, scriptFile_ + ": " + e.what());
    }
    const bool update = script.header.FileKind == fkUpdateScript;
    report_.scriptKind = update ? "update" : "maintenance";
    for (const auto& c : script.commands)
        if (c->Kind() > ckAddPassword)
            throw EvxRunError(vxRunUnknownCommand, "command kind " + std::to_string(c->Kind()));

    // Source and target.
    std::string sourceText = source_;
    if (sourceText.empty() && update)
        if (const TvxCommand* c = FirstOfKind(script, ckAddAlias))
            sourceText = c->ParamText(AliasParam::Directory).empty() ? c->ParamText(AliasParam::AliasName)
                                                                     : c->ParamText(AliasParam::Directory);
    const std::string sourceDir = DatabaseDirectory(sourceText);
    std::string target = newPath_;
    if (target.empty() && update)
        if (const TvxCommand* c = FirstOfKind(script, ckAddNewAlias))
            target = CommandDirectory(*c);
    if (target.empty() && !update)
        target = sourceDir;
    report_.source = sourceDir.empty() ? sourceText : sourceDir;
    report_.target = target;
    if (target.empty())
        throw EvxRunError(vxRunTargetNotCreated, "no target directory");
    if (update && sourceDir.empty())
        throw EvxRunError(vxRunSourceUnreadable, sourceText.empty() ? std::string("no source database")
                                                                    : sourceText + ": no such directory or alias");
    if (update && SameDirectory(sourceDir, target))
        throw EvxRunError(vxRunTargetIsSource, target);

    // The target held and recovered before it is read: made first when missing.
    ParadoxWriterFiles& files = files_ ? *files_ : ParadoxWriterFiles::System();
    TvxPlatformFiles& platform = platform_ ? *platform_ : TvxPlatformFiles::System();
    const bool targetExisted = IsDirectory(target);
    std::vector<std::string> made;
    std::unique_ptr<TvxTargetGuard> guard;
    if (!dryRun_) {
        made = MakeTarget(files, target);
        try {
            guard = std::make_unique<TvxTargetGuard>(platform, target, lockWait_);
        } catch (...) {
            RemoveMade(files, made);
            throw;
        }
        report_.notes = guard->Recovery().notes;
    } else if (targetExisted && JournalPending(platform, target)) {
        report_.notes.push_back("An interrupted run awaits recovery; the next run on the target recovers it first");
    }
    try {
        ApplyScript(script, update, sourceDir, target, targetExisted, guard.get(), platform);
    } catch (...) {
        guard.reset();
        RemoveMade(files, made);
        throw;
    }
    return report_.TotalProblemRecords() + report_.TotalKeyViolations() > 0 ? vxRunProblems : vxRunOK;
}

void TvxUpdateServer::ApplyScript(const TvxUpdateScriptFile& script, bool update, const std::string& sourceDir,
                           const std::string& target, bool targetExisted, const TvxTargetGuard* guard,
                           TvxPlatformFiles& platform)
{
    std::unique_ptr<IvxTableReader> sourceReader;
    std::unique_ptr<IvxTableReader> targetReader;
    try {
        if (!sourceDir.empty())
            sourceReader = OpenReader(sourceDir, passwords_);
        if (targetExisted)
            targetReader = OpenReader(target, passwords_);
    } catch (const EvxEngineError& e) {
        throw EvxRunError(vxRunSourceUnreadable, e.what());
    }
    if (!sourceReader)
        sourceReader = targetReader ? OpenReader(target, passwords_) : std::make_unique<TvxNoTables>(target);

    // Passwords first, so that a preview names every table that needs one.
    std::vector<TvxTablePlan> plans;
    if (update) {
        std::vector<std::string> read;
        for (const auto& c : script.commands) {
            if (c->Kind() == ckAddTable)
                read.push_back(c->ParamText(AddTableParam::SourceTable));
            else if (c->Kind() == ckMoveField)
                read.push_back(c->ParamText(MoveFieldParam::SourceTable));
        }
        CheckPasswords(*sourceReader, read, report_);
        TvxUpdatePlanner planner(*sourceReader, TvxMoment::Now());
        for (const auto& c : script.commands)
            planner.Apply(*c);
        plans = std::move(planner.Plans());
    } else {
        if (targetReader) {
            std::vector<std::string> read;
            for (const TvxTableDesc& t : script.tables)
                read.push_back(TableBaseName(t.TableName().empty() ? t.TableList().fileName() : t.TableName()));
            CheckPasswords(*targetReader, read, report_);
        }
        TvxMaintenancePlanner planner(targetReader.get());
        for (const TvxTableDesc& t : script.tables)
            planner.Add(t);
        plans = std::move(planner.Plans());
        // A table an interrupted run of an earlier version set aside is not created empty.
        if (guard)
            for (const TvxTablePlan& p : plans)
                for (const std::string& held : guard->Recovery().heldAside)
                    if (p.origin == TvxTablePlan::Origin::None && held == UpperText(p.name))
                        throw EvxRunError(vxRunTableNotWritten,
                                          p.FileName() + ": its files are held aside in a .morvane-old-* folder of "
                                                         "the target; the table is not created empty");
    }

    if (dryRun_) {
        TvxTableBuilder builder(*sourceReader, targetReader.get(), nullptr, target, report_);
        builder.SetProgress(onProgress_);
        builder.Build(plans);
    } else {
        ParadoxWriterFiles& files = files_ ? *files_ : ParadoxWriterFiles::System();
        TvxStagingArea staging(platform, target);
        TvxParadoxTableWriter writer(files, sourceReader->Directory());
        TvxTableBuilder builder(*sourceReader, targetReader.get(), &writer, staging.Path(), report_);
        builder.SetProgress(onProgress_);
        const std::vector<std::string> written = builder.Build(plans);
        if (update)
            CarrySourceFiles(platform, plans, sourceReader->Directory(), staging.Path(), report_);
        for (std::string& note : staging.Commit(written, StaleTables(plans, targetReader.get())))
            report_.notes.push_back(std::move(note));
    }
}

void RegisterUpdateServer()
{
    CovxUpdateServer::Register([] { return std::make_unique<TvxUpdateServer>(); });
}

} // namespace morvane
