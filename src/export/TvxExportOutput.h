#pragma once
// Where an export is written: one file (SQLite) or a directory of files (CSV). Everything is
// written under temporary names beside the target and moved into place by Commit, so a failed
// export leaves the target as it was; an object destroyed without Commit removes what it
// wrote. An existing target is refused unless `force`; a forced directory keeps the files the
// export does not write. Failures are EvxExportError naming the path.

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace morvane {

class TvxExportOutput
{
public:
    enum class Kind { File, Directory };

    TvxExportOutput(std::string target, Kind kind, bool force);
    ~TvxExportOutput();
    TvxExportOutput(const TvxExportOutput&) = delete;
    TvxExportOutput& operator=(const TvxExportOutput&) = delete;

    const std::string& Target() const { return target_; }
    // File: the temporary file to write (it exists, empty).
    const std::string& FilePath() const { return tempFile_; }
    // Directory: the temporary path of the file `name` of the target (it exists, empty).
    std::string AddFile(std::string_view name);
    // Flushes every written file to disk and renames it, or the directory, into place.
    void Commit();

private:
    void removeTemporaries() noexcept;

    std::string target_;
    Kind kind_;
    bool force_;
    bool committed_ = false;
    std::string tempFile_; // File
    std::string tempDir_;  // Directory that did not exist: a new one renamed into place
    std::vector<std::pair<std::string, std::string>> files_; // Directory: (temporary, final)
};

} // namespace morvane
