#pragma once
// TvxCommitJournal: the record of one commit into a target directory (the protocol is
// described in TvxStagingArea.h): its state, the working directories (names inside the target)
// and every step, in the order they are taken. Text() is what the journal file holds; Parse
// reads it back and throws std::runtime_error for anything it did not write (a name with a
// "/", "." or "..", a working directory not of our prefixes, an unknown state or step), so a
// damaged or planted journal never makes recovery touch a name outside the target.

#include <string>
#include <vector>

namespace morvane {

struct TvxCommitJournal
{
    static constexpr const char* FileName = ".morvane-journal";
    static constexpr const char* NewPrefix = ".morvane-new-";
    static constexpr const char* OldPrefix = ".morvane-old-";
    static constexpr const char* KeptDir = "morvane-kept";

    enum class State { Moving, Done, RolledBack };
    struct Step
    {
        enum class Kind {
            Replace, // a new file over an old one of the same name; the old one keeps a name in oldDir
            Place,   // a new file under a name the target did not hold
            Aside,   // an old family file the new family does not have, into oldDir
            Keep,    // a file we do not rewrite that the new structure makes stale, into KeptDir
        };
        Kind kind;
        std::string name;
        std::string kept; // Keep: its name in KeptDir
    };

    State state = State::Moving;
    std::string newDir;
    std::string oldDir;
    std::vector<Step> steps;

    std::string Text() const;
    static TvxCommitJournal Parse(const std::string& text);
};

} // namespace morvane
