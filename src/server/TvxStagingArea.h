#pragma once
// TvxStagingArea: a working directory inside the target where a run writes every table, and
// the step that puts them all in place at once. Commit sets the families it replaces aside
// (into a second working directory) before moving the new ones in; when any move fails it
// moves everything back, so the target ends either with all new tables or exactly as it was.
// The working directories are removed with the object. Failures throw EvxRunError: 297 when
// the working directory cannot be made, 293 when the tables cannot be put in place.

#include <string>
#include <vector>

namespace morvane {

class ParadoxWriterFiles;

class TvxStagingArea
{
public:
    TvxStagingArea(ParadoxWriterFiles& files, std::string targetDir);
    ~TvxStagingArea();
    TvxStagingArea(const TvxStagingArea&) = delete;
    TvxStagingArea& operator=(const TvxStagingArea&) = delete;

    const std::string& Path() const { return path_; }
    // Moves every file of the working directory into the target, replacing the families of the
    // same base names (their .DB, .PX, .VAL, .MB and index files, any letter case).
    void Commit(const std::vector<std::string>& baseNames);

private:
    struct Move
    {
        std::string from;
        std::string to;
    };
    void Undo(std::vector<Move>& done) noexcept;
    void RemoveAll(const std::string& dir) noexcept;

    ParadoxWriterFiles& files_;
    std::string target_;
    std::string path_;
};

// True for the extensions of a table's family files (DB, PX, VAL, MB, TV, FAM, Xnn, Ynn, XGn,
// YGn), any letter case.
bool IsFamilyExtension(const std::string& ext);

} // namespace morvane
