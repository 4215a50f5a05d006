#pragma once
// Recovery of a target directory before anything else happens in it (under its lock): a
// commit its journal describes is finished or rolled back (see TvxStagingArea.h), so the
// target is again wholly old or wholly new, and the leftovers of interrupted runs, copies and
// exports are removed: only names we make (".morvane-new-*", empty ".morvane-old-*",
// ".tmp-<table>-XXXXXX" working directories holding only files, ".<name>.tmp-XXXXXX" files
// untouched for an hour), never anything else. A ".morvane-old-*" that holds files without a
// journal (left by an earlier version) is kept and named, and its tables are reported as
// held aside. Throws EvxRunError 293 when the journal is damaged or a step cannot be taken
// (the target is then left as found, apart from steps already taken again).

#include <string>
#include <vector>

#include "server/TvxCommitJournal.h"

namespace morvane {

class TvxPlatformFiles;

struct TvxRecovery
{
    std::vector<std::string> notes;     // what was done, for the run's report
    std::vector<std::string> heldAside; // base names (upper case) whose files wait in an old directory
};

TvxRecovery RecoverTarget(TvxPlatformFiles& files, const std::string& target);
// True when the target holds a journal (a commit to recover).
bool JournalPending(TvxPlatformFiles& files, const std::string& target);

// Protocol steps shared by the commit and the recovery. RollBackCommit puts every old file
// back and rewrites the journal "rolled-back"; it throws when a move fails. FinishCommit
// removes the old files, the working directories and the journal; false when something could
// not be removed (the journal then stays, so the next recovery tries again).
void RollBackCommit(TvxPlatformFiles& files, const std::string& target, TvxCommitJournal& journal);
bool FinishCommit(TvxPlatformFiles& files, const std::string& target, const TvxCommitJournal& journal) noexcept;
void WriteJournal(TvxPlatformFiles& files, const std::string& target, const TvxCommitJournal& journal);

} // namespace morvane
