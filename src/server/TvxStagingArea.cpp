#include "server/TvxStagingArea.h"

#include "model/vxTextCase.h"
#include "script/vxUpdateServerCodes.h"

#include <algorithm>
#include <cctype>

#include "platform/TvxPlatformFiles.h"
#include "server/EvxRunError.h"
#include "server/TvxTargetRecovery.h"

namespace morvane {

namespace {

using Step = TvxCommitJournal::Step;

bool IsHex(char c)
{
    return std::isxdigit(static_cast<unsigned char>(c)) != 0;
}

bool AllDigits(const std::string& s)
{
    for (const char c : s)
        if (!std::isdigit(static_cast<unsigned char>(c)))
            return false;
    return true;
}

// Splits "NAME.EXT"; false without an extension.
bool SplitName(const std::string& name, std::string& base, std::string& ext)
{
    const std::size_t dot = name.rfind('.');
    if (dot == std::string::npos || dot == 0)
        return false;
    base = name.substr(0, dot);
    ext = name.substr(dot + 1);
    return true;
}

// A name in K for a kept file: its own, else with ".1", ".2", ... added.
std::string FreeKeptName(TvxPlatformFiles& files, const std::string& keptDir, const std::string& name,
                         const std::vector<Step>& planned)
{
    for (int n = 0;; ++n) {
        const std::string candidate = n == 0 ? name : name + "." + std::to_string(n);
        bool taken = files.Exists(keptDir + "/" + candidate);
        for (const Step& s : planned)
            taken = taken || (s.kind == Step::Kind::Keep && s.kept == candidate);
        if (!taken)
            return candidate;
    }
}

} // namespace

bool IsFamilyExtension(const std::string& ext)
{
    const std::string e = UpperText(ext);
    if (e == "DB" || e == "PX" || e == "VAL" || e == "MB")
        return true;
    if (e.size() == 3 && (e[0] == 'X' || e[0] == 'Y'))
        return (e[1] == 'G' && std::isalnum(static_cast<unsigned char>(e[2]))) || (IsHex(e[1]) && IsHex(e[2]));
    return false;
}

bool IsStructureBoundExtension(const std::string& ext)
{
    const std::string e = UpperText(ext);
    return e == "TV" || e == "FAM" ||
           (!e.empty() && e.size() <= 3 && (e[0] == 'F' || e[0] == 'R' || e[0] == 'S') && AllDigits(e.substr(1)));
}

std::vector<std::string> UnwrittenFamilyFiles(TvxPlatformFiles& files, const std::string& dir, const std::string& base)
{
    std::vector<std::string> out;
    for (const auto& e : files.List(dir)) {
        std::string b;
        std::string ext;
        if (!e.directory && SplitName(e.name, b, ext) && SameText(b, base) && !IsFamilyExtension(ext))
            out.push_back(e.name);
    }
    return out;
}

TvxStagingArea::TvxStagingArea(TvxPlatformFiles& files, std::string targetDir)
    : files_(files), target_(std::move(targetDir))
{
    try {
        path_ = files_.MakeTempDirectory(target_, TvxCommitJournal::NewPrefix);
    } catch (const std::exception& e) {
        throw EvxRunError(vxRunTargetNotCreated, e.what());
    }
}

TvxStagingArea::~TvxStagingArea()
{
    if (journalPending_)
        return; // the next recovery needs what is left here
    try {
        for (const auto& e : files_.List(path_))
            files_.RemoveFile(path_ + "/" + e.name);
    } catch (...) {
    }
    files_.RemoveDirectory(path_);
}

std::vector<std::string> TvxStagingArea::Commit(const std::vector<std::string>& baseNames,
                                                const std::set<std::string>& staleBases)
{
    TvxCommitJournal journal;
    journal.newDir = path_.substr(target_.size() + 1);
    std::vector<std::string> notes;
    const std::string keptDir = target_ + "/" + TvxCommitJournal::KeptDir;
    try {
        // 1. The steps.
        std::set<std::string> staged;
        for (const auto& e : files_.List(path_))
            if (!e.directory) {
                staged.insert(e.name);
                journal.steps.push_back(
                    {files_.Exists(target_ + "/" + e.name) ? Step::Kind::Replace : Step::Kind::Place, e.name, {}});
            }
        const std::vector<TvxPlatformFiles::Entry> existing = files_.List(target_);
        // On a file system that ignores letter case, "cust.db" listed is the "CUST.DB" replaced.
        const auto replacedUnderOtherCase = [&](const std::string& name) {
            for (const Step& s : journal.steps)
                if (s.kind == Step::Kind::Replace && SameText(s.name, name) &&
                    std::none_of(existing.begin(), existing.end(), [&](const auto& e) { return e.name == s.name; }))
                    return true;
            return false;
        };
        for (const auto& e : existing) {
            std::string base;
            std::string ext;
            if (e.directory || !SplitName(e.name, base, ext) || staged.count(e.name) || replacedUnderOtherCase(e.name))
                continue;
            for (const std::string& b : baseNames) {
                if (!SameText(base, b))
                    continue;
                if (IsFamilyExtension(ext))
                    journal.steps.push_back({Step::Kind::Aside, e.name, {}});
                else if (IsStructureBoundExtension(ext) && staleBases.count(UpperText(b)))
                    journal.steps.push_back(
                        {Step::Kind::Keep, e.name, FreeKeptName(files_, keptDir, e.name, journal.steps)});
                break;
            }
        }
        const std::string old = files_.MakeTempDirectory(target_, TvxCommitJournal::OldPrefix);
        journal.oldDir = old.substr(target_.size() + 1);
        bool keeps = false;
        for (const Step& s : journal.steps)
            keeps = keeps || s.kind == Step::Kind::Keep;

        // 2. The intent (K made after it, so that the recovery removes it when left empty).
        journalPending_ = true;
        WriteJournal(files_, target_, journal);
        if (keeps && !files_.Exists(keptDir))
            files_.MakeDirectory(keptDir);
        // 3. A second name for each file replaced.
        for (const Step& s : journal.steps)
            if (s.kind == Step::Kind::Replace)
                files_.KeepCopy(target_ + "/" + s.name, old + "/" + s.name);
        files_.FlushDirectory(old);
        // 4. The new files in.
        for (const Step& s : journal.steps)
            if (s.kind == Step::Kind::Replace)
                files_.MoveReplacing(path_ + "/" + s.name, target_ + "/" + s.name);
        for (const Step& s : journal.steps)
            if (s.kind == Step::Kind::Place)
                files_.Move(path_ + "/" + s.name, target_ + "/" + s.name);
        // 5. The old ones out.
        for (const Step& s : journal.steps) {
            if (s.kind == Step::Kind::Aside)
                files_.Move(target_ + "/" + s.name, old + "/" + s.name);
            else if (s.kind == Step::Kind::Keep) {
                files_.Move(target_ + "/" + s.name, keptDir + "/" + s.kept);
                notes.push_back(s.name + " kept aside as " + TvxCommitJournal::KeptDir + "/" + s.kept +
                                ": its table's fields changed");
            }
        }
        files_.FlushDirectory(target_);
        files_.FlushDirectory(old);
        if (keeps)
            files_.FlushDirectory(keptDir);
        // 6. The commit point.
        journal.state = TvxCommitJournal::State::Done;
        WriteJournal(files_, target_, journal);
    } catch (const std::exception& e) {
        std::string outcome;
        if (journalPending_) {
            try {
                journal.state = TvxCommitJournal::State::Moving;
                RollBackCommit(files_, target_, journal);
                journalPending_ = !FinishCommit(files_, target_, journal);
            } catch (const std::exception& again) {
                outcome = std::string("; the target is restored by the next run on it (") + again.what() + ")";
            }
        } else if (!journal.oldDir.empty()) {
            files_.RemoveDirectory(target_ + "/" + journal.oldDir);
        }
        throw EvxRunError(vxRunTableNotWritten, e.what() + outcome);
    }
    // 7. Clean up; what cannot be removed now is removed by the next recovery.
    journalPending_ = !FinishCommit(files_, target_, journal);
    return notes;
}

} // namespace morvane
