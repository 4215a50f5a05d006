#pragma once
// TvxStagingArea: a working directory inside the target where a run (or a copy) writes every
// table, and the commit that puts them all in place at once, under the target's journal, so
// that a crash at any instant leaves the target wholly old or wholly new once recovered
// (RecoverTarget). The working directory is removed with the object unless a journal still
// needs it. Failures throw EvxRunError: 297 when the working directory cannot be made, 293
// when the tables cannot be put in place (the target is then as it was, or its journal says
// how the next run restores it).
//
// The commit protocol. T is the target, N the working directory (".morvane-new-XXXXXX"), O a
// directory of old files (".morvane-old-XXXXXX"), K "morvane-kept"; J is T/.morvane-journal,
// always written whole under a temporary name, flushed, renamed over J and T flushed.
//   0. Every new family is complete in N, its files and N flushed (the writer does this).
//   1. O is made. Steps are planned: each file of N is
//      "replace" (T holds that exact name) or "place"; each other file of T's replaced
//      families is "aside"; a file we do not rewrite (.TV, .FAM, forms, reports) of a table
//      whose fields change is "keep" (into K under a free name). Other files stay untouched.
//   2. J written: state "moving", N, O and the steps. K is made when a file is to be kept.
//   3. Each "replace" file gets a second name O/x (hard link, else a flushed copy); O flushed.
//   4. Each "replace" N/x is renamed over T/x (atomic: T/x exists at every instant, so a
//      live database never lacks a table); each "place" N/x is renamed to T/x.
//   5. Each "aside" T/x is renamed to O/x, each "keep" T/x to K/y. T, O and K flushed.
//   6. J rewritten with state "done": the commit point.
//   7. O's files, O, N, K when empty, and J removed, T flushed.
// Recovery, by J's state (each step looks where the file is, so running it again after a
// crash inside it is harmless):
//   moving: roll back. "keep" K/y and "aside" O/x return to T when T/x is missing; a "place"
//     T/x goes back to N when N/x is missing; a "replace" whose N/x is gone (so T/x is new)
//     gets O/x renamed over T/x. T flushed, J rewritten "rolled-back", then as in 7.
//   done, rolled-back: as in 7.
// A failure (not a crash) inside 1-6 rolls back at once the same way.

#include <set>
#include <string>
#include <vector>

namespace morvane {

class TvxPlatformFiles;

class TvxStagingArea
{
public:
    TvxStagingArea(TvxPlatformFiles& files, std::string targetDir);
    ~TvxStagingArea();
    TvxStagingArea(const TvxStagingArea&) = delete;
    TvxStagingArea& operator=(const TvxStagingArea&) = delete;

    const std::string& Path() const { return path_; }
    // Moves every file of the working directory into the target, replacing the families of the
    // same base names (their .DB, .PX, .VAL, .MB and index files, any letter case). staleBases
    // (upper case): tables whose fields change; their other files are kept aside in K.
    // Returns a note for each file kept aside.
    std::vector<std::string> Commit(const std::vector<std::string>& baseNames,
                                    const std::set<std::string>& staleBases = {});

private:
    TvxPlatformFiles& files_;
    std::string target_;
    std::string path_;
    bool journalPending_ = false;
};

// True for the extensions of the family files the writer makes (DB, PX, VAL, MB, Xnn, Ynn,
// XGn, YGn), any letter case.
bool IsFamilyExtension(const std::string& ext);
// True for files of a table that describe its fields and that we do not rewrite: table view
// (TV), family list (FAM), forms (F, Fn) and reports (R, Rn), scripts of the table (S, Sn).
bool IsStructureBoundExtension(const std::string& ext);
// Files of dir named base.<ext> (letter case ignored) that belong to no family we write:
// those a copy carries and a restructure leaves or keeps aside.
std::vector<std::string> UnwrittenFamilyFiles(TvxPlatformFiles& files, const std::string& dir, const std::string& base);

} // namespace morvane
