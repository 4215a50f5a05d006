#include "server/TvxTargetRecovery.h"

#include "model/vxTextCase.h"
#include "script/vxUpdateServerCodes.h"

#include <cctype>
#include <set>

#include "platform/TvxPlatformFiles.h"
#include "server/EvxRunError.h"

namespace morvane {

namespace {

using Step = TvxCommitJournal::Step;

constexpr std::size_t MaxJournalBytes = 1 << 20;
constexpr std::int64_t ExportTempAge = 3600; // an export still writing touches its file sooner

std::string JournalPath(const std::string& target)
{
    return target + "/" + TvxCommitJournal::FileName;
}

bool StartsWith(const std::string& s, const std::string& prefix)
{
    return s.rfind(prefix, 0) == 0;
}

// "<prefix>XXXXXX" as mkdtemp/mkstemp make it: six letters or digits after the prefix.
bool EndsWithTempSuffix(const std::string& name, std::size_t prefixEnd)
{
    if (name.size() != prefixEnd + 6)
        return false;
    for (std::size_t i = prefixEnd; i < name.size(); ++i)
        if (!std::isalnum(static_cast<unsigned char>(name[i])))
            return false;
    return true;
}

// A writer's working directory ".tmp-<table>-XXXXXX".
bool IsWriterWorkDirectory(const std::string& name)
{
    return StartsWith(name, ".tmp-") && name.size() > 12 && name[name.size() - 7] == '-' &&
           EndsWithTempSuffix(name, name.size() - 6);
}

// A file being written under a temporary name ".<name>.tmp-XXXXXX" (export, journal).
bool IsTemporaryFile(const std::string& name)
{
    const std::size_t at = name.rfind(".tmp-");
    return name.size() > 1 && name[0] == '.' && at != std::string::npos && at > 1 && EndsWithTempSuffix(name, at + 5);
}

// Removes a directory holding only files; false (and nothing removed) when it holds a
// directory, or when something could not be removed. Returns the files removed in count.
bool RemoveFlatDirectory(TvxPlatformFiles& files, const std::string& dir, int& count)
{
    const std::vector<TvxPlatformFiles::Entry> entries = files.List(dir);
    for (const auto& e : entries)
        if (e.directory)
            return false;
    bool all = true;
    for (const auto& e : entries) {
        const bool removed = files.RemoveFile(dir + "/" + e.name);
        count += removed ? 1 : 0;
        all = all && removed;
    }
    return files.RemoveDirectory(dir) && all;
}

// Removes a run's working directory: its files and the writer's working directories in it.
bool RemoveNewDirectory(TvxPlatformFiles& files, const std::string& dir, int& count)
{
    bool all = true;
    for (const auto& e : files.List(dir))
        if (e.directory)
            all = IsWriterWorkDirectory(e.name) && RemoveFlatDirectory(files, dir + "/" + e.name, count) && all;
    return RemoveFlatDirectory(files, dir, count) && all;
}

std::string BaseOf(const std::string& name)
{
    const std::size_t dot = name.rfind('.');
    return UpperText(dot == std::string::npos ? name : name.substr(0, dot));
}

std::string TablesOf(const TvxCommitJournal& journal)
{
    std::set<std::string> bases;
    for (const Step& s : journal.steps)
        if (s.kind != Step::Kind::Keep)
            bases.insert(BaseOf(s.name));
    std::string out;
    for (const std::string& b : bases)
        out += (out.empty() ? "" : ", ") + b;
    return out;
}

void RemoveLeftovers(TvxPlatformFiles& files, const std::string& target, TvxRecovery& result)
{
    int count = 0;
    std::vector<std::string> removed;
    for (const auto& e : files.List(target)) {
        const std::string path = target + "/" + e.name;
        bool gone = false;
        if (e.directory && StartsWith(e.name, TvxCommitJournal::NewPrefix)) {
            gone = RemoveNewDirectory(files, path, count);
        } else if (e.directory && IsWriterWorkDirectory(e.name)) {
            gone = RemoveFlatDirectory(files, path, count);
        } else if (e.directory && StartsWith(e.name, TvxCommitJournal::OldPrefix)) {
            if (files.List(path).empty()) {
                gone = files.RemoveDirectory(path);
            } else {
                std::string held;
                for (const auto& f : files.List(path)) {
                    held += (held.empty() ? "" : ", ") + f.name;
                    result.heldAside.push_back(BaseOf(f.name));
                }
                result.notes.push_back(e.name + " holds files an interrupted run of an earlier version set aside (" +
                                       held + "); it is kept: move them back or remove it");
            }
        } else if (!e.directory && IsTemporaryFile(e.name) &&
                   (StartsWith(e.name, std::string(".") + TvxCommitJournal::FileName) ||
                    files.AgeSeconds(path) >= ExportTempAge)) {
            gone = files.RemoveFile(path);
            count += gone ? 1 : 0;
        }
        if (gone)
            removed.push_back(e.name);
    }
    if (removed.empty())
        return;
    std::string names;
    for (const std::string& n : removed)
        names += (names.empty() ? "" : ", ") + n;
    result.notes.push_back("Removed what interrupted runs left: " + names + " (" + std::to_string(count) + " files)");
}

} // namespace

void WriteJournal(TvxPlatformFiles& files, const std::string& target, const TvxCommitJournal& journal)
{
    files.WriteFileDurably(JournalPath(target), journal.Text());
}

void RollBackCommit(TvxPlatformFiles& files, const std::string& target, TvxCommitJournal& journal)
{
    const std::string T = target + "/";
    const std::string N = T + journal.newDir + "/";
    const std::string O = T + journal.oldDir + "/";
    const std::string K = T + TvxCommitJournal::KeptDir + "/";
    for (auto it = journal.steps.rbegin(); it != journal.steps.rend(); ++it) {
        const Step& s = *it;
        switch (s.kind) {
        case Step::Kind::Keep:
            if (files.Exists(K + s.kept) && !files.Exists(T + s.name))
                files.Move(K + s.kept, T + s.name);
            break;
        case Step::Kind::Aside:
            if (files.Exists(O + s.name) && !files.Exists(T + s.name))
                files.Move(O + s.name, T + s.name);
            break;
        case Step::Kind::Place:
            if (!files.Exists(N + s.name) && files.Exists(T + s.name))
                files.Move(T + s.name, N + s.name);
            break;
        case Step::Kind::Replace:
            if (!files.Exists(N + s.name) && files.Exists(O + s.name))
                files.MoveReplacing(O + s.name, T + s.name);
            break;
        }
    }
    files.FlushDirectory(target);
    journal.state = TvxCommitJournal::State::RolledBack;
    WriteJournal(files, target, journal);
}

bool FinishCommit(TvxPlatformFiles& files, const std::string& target, const TvxCommitJournal& journal) noexcept
{
    try {
        const std::string O = target + "/" + journal.oldDir;
        bool all = true;
        for (const Step& s : journal.steps)
            if (s.kind == Step::Kind::Replace || s.kind == Step::Kind::Aside)
                all = files.RemoveFile(O + "/" + s.name) && all;
        all = files.RemoveDirectory(O) && all;
        for (const Step& s : journal.steps)
            if (s.kind == Step::Kind::Keep) {
                files.RemoveDirectory(target + "/" + TvxCommitJournal::KeptDir); // only when left empty
                break;
            }
        int count = 0;
        all = (!files.Exists(target + "/" + journal.newDir) ||
               RemoveNewDirectory(files, target + "/" + journal.newDir, count)) &&
              all;
        if (!all)
            return false;
        if (!files.RemoveFile(JournalPath(target)))
            return false;
        files.FlushDirectory(target);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

bool JournalPending(TvxPlatformFiles& files, const std::string& target)
{
    return files.Exists(JournalPath(target));
}

TvxRecovery RecoverTarget(TvxPlatformFiles& files, const std::string& target)
{
    TvxRecovery result;
    try {
        if (const std::optional<std::string> text = files.ReadSmallFile(JournalPath(target), MaxJournalBytes)) {
            TvxCommitJournal journal;
            try {
                journal = TvxCommitJournal::Parse(*text);
            } catch (const std::exception& e) {
                throw EvxRunError(vxRunTableNotWritten, JournalPath(target) + ": a damaged commit journal (" +
                                                            e.what() + "); nothing was changed");
            }
            const bool rollBack = journal.state == TvxCommitJournal::State::Moving;
            if (rollBack)
                RollBackCommit(files, target, journal);
            if (!FinishCommit(files, target, journal))
                throw EvxRunError(vxRunTableNotWritten,
                                  target + ": the working files of an interrupted run cannot be removed");
            const std::string tables = TablesOf(journal);
            if (journal.state == TvxCommitJournal::State::Done)
                result.notes.push_back("An interrupted run was completed: the target holds its new tables (" + tables +
                                       ")");
            else
                result.notes.push_back("An interrupted run was rolled back: the target holds its tables as they "
                                       "were before it (" +
                                       tables + ")");
        }
        RemoveLeftovers(files, target, result);
    } catch (const EvxRunError&) {
        throw;
    } catch (const std::exception& e) {
        throw EvxRunError(vxRunTableNotWritten, std::string("recovering an interrupted run: ") + e.what());
    }
    return result;
}

} // namespace morvane
