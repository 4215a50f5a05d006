#pragma once
// Checks the structural rules that every engine-written table family keeps, on any family in a
// directory: header sizes and offsets, the block chains and their counts, key order and
// uniqueness, the .PX and Y trees (entries, counts, every data block referenced once), X files
// (layout against the table, count, order, every entry pointing at the block holding its
// record), blob pointers into the .MB, the walk of the .VAL ending at its footer and the
// stamps that tie the files together. Reads block by block: memory does not grow with the
// records. Never throws for a damaged family; every broken rule is one finding.
//
// A violation breaks a rule; a deviation is a state the engine itself leaves behind that a
// freshly written family does not have: free blocks (free-blocks), an empty block in a chain
// (empty-block), a last block cut short (short-block), a stamp that differs from the fresh
// pattern (stale-stamp), a non-maintained index out of date (stale-index; an empty one is an
// index not built yet, which the engine builds on use). The writer accepts neither; engine
// files may carry deviations.

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace morvane {

class ParadoxByteSource;

struct ParadoxFinding
{
    enum class Kind { Violation, Deviation };
    Kind kind = Kind::Violation;
    std::string file; // the file's name in the directory
    std::string rule; // short name of the rule ("chain", "key-order", "stale-stamp", ...)
    std::string message;
};

struct ParadoxCheckReport
{
    std::vector<ParadoxFinding> findings;

    bool ok() const;    // no violation
    bool clean() const; // no finding at all
    // One finding per line: "<file>: <rule>: <message>", deviations marked.
    std::string text() const;
};

// The files a family is looked for among: their names, and how to open one (null when it
// cannot be opened; called from two threads at once). A directory, or buffers in memory
// (fuzzing).
struct ParadoxFamilyFiles
{
    std::vector<std::string> names;
    std::function<std::unique_ptr<ParadoxByteSource>(const std::string& name)> open;
};

// How the files of a directory are read: by read calls, or mapped into memory (files up to
// 64 MiB), which is quicker but only for files that nothing changes while they are checked (the
// writer's own working directory): a mapped file cut short ends the process.
enum class ParadoxCheckAccess { Read, Map };

// dbFileName: the table's .DB file as the directory names it.
ParadoxCheckReport ParadoxCheckFamily(const std::string& directory, const std::string& dbFileName,
                                      ParadoxCheckAccess access = ParadoxCheckAccess::Read);
ParadoxCheckReport ParadoxCheckFamily(const ParadoxFamilyFiles& files, const std::string& dbFileName);

} // namespace morvane
