#pragma once
// The files of one directory as the file system names them, looked up without regard to
// letter case (Paradox extensions come in any case). Listing is cached until the
// directory's modification time changes.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace morvane {

struct ParadoxFileStamp
{
    std::string path;
    std::int64_t mtimeNs = 0;
    std::uint64_t size = 0;
    bool operator==(const ParadoxFileStamp&) const = default;
};

class ParadoxDirectory
{
public:
    explicit ParadoxDirectory(std::string path);

    const std::string& path() const { return path_; }
    // Regular files, sorted by name. Throws EvxEngineError(vxErrDirectory) when the
    // directory cannot be read.
    const std::vector<std::string>& files();
    // The file whose name equals name without regard to case (an exact match first).
    std::optional<std::string> find(std::string_view name);
    // Names of files "<base>.<ext>" whose extension satisfies the predicate (case-insensitive base).
    std::vector<std::string> withBase(std::string_view base, bool (*extensionMatches)(std::string_view));

    // Path, modification time and size; throws EvxEngineError(vxErrNotFound) when missing.
    ParadoxFileStamp stamp(const std::string& fileName) const;

    static bool equalNoCase(std::string_view a, std::string_view b);

private:
    std::string path_;
    std::int64_t listedMtimeNs_ = -1;
    std::vector<std::string> files_;
    // Lower-cased name → position in files_ (first in sort order); lower-cased base name (text
    // before the last dot) → positions. Rebuilt with the listing, so look-ups stay constant-time
    // while a connect reads every table of a large directory.
    std::unordered_map<std::string, std::size_t> byLowerName_;
    std::unordered_map<std::string, std::vector<std::size_t>> byLowerBase_;
};

} // namespace morvane
