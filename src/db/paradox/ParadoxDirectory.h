#pragma once
// The files of one directory as the file system names them, looked up without regard to
// letter case (Paradox extensions come in any case). The directory is opened once; its
// listing is kept until the directory changes (one fstat per look-up), and files are
// examined and opened relative to it, so reading many tables costs no repeated path walks.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/TvxPlatformFiles.h"

namespace morvane {

struct ParadoxFileStamp
{
    std::string name; // as the directory holds it
    std::int64_t mtimeNs = 0;
    std::uint64_t size = 0;
    bool operator==(const ParadoxFileStamp&) const = default;
};

class ParadoxDirectory
{
public:
    explicit ParadoxDirectory(std::string path);
    ~ParadoxDirectory();
    ParadoxDirectory(ParadoxDirectory&& other) noexcept;
    ParadoxDirectory& operator=(ParadoxDirectory&& other) noexcept;
    ParadoxDirectory(const ParadoxDirectory&) = delete;
    ParadoxDirectory& operator=(const ParadoxDirectory&) = delete;

    const std::string& path() const { return path_; }
    // Regular files, sorted by name, listed again when the directory changed. Throws
    // EvxEngineError(vxErrDirectory) when the directory cannot be read.
    const std::vector<std::string>& files();
    // The file whose name equals name without regard to case (an exact match first).
    std::optional<std::string> find(std::string_view name);
    // Files "<base>.<ext>" (base compared without regard to case) of the listing as files()
    // last made it, sorted by name.
    std::vector<std::string> family(std::string_view base) const;

    // Modification time and size of a regular file of the listing; throws
    // EvxEngineError(vxErrNotFound) when it is missing or no longer a regular file.
    ParadoxFileStamp stamp(const std::string& fileName) const;
    // The same for a file of the directory opened as fd (no second look-up by name).
    ParadoxFileStamp stampOpen(TvxFileHandle fd, const std::string& fileName) const;
    // Descriptor of a file of the directory opened for reading (never blocks on a special
    // file), vxNoFileHandle with errno set on failure. The caller closes it.
    TvxFileHandle openForReading(const std::string& fileName) const;
    // The path of a file of the directory, for messages.
    std::string pathOf(std::string_view fileName) const;

    // Letter case of file names is folded in ASCII only (as the C and UTF-8 locales fold
    // single bytes), the same in every locale.
    static char lowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }
    static bool equalNoCase(std::string_view a, std::string_view b)
    {
        if (a.size() != b.size())
            return false;
        for (std::size_t i = 0; i < a.size(); ++i)
            if (lowerAscii(a[i]) != lowerAscii(b[i]))
                return false;
        return true;
    }

private:
    void list();
    void close();

    std::string path_;
    TvxFileHandle fd_ = vxNoFileHandle;
    std::int64_t listedMtimeNs_ = -1;
    std::vector<std::string> files_;
    // Lower-cased names with their position in files_, sorted (equal names by position):
    // a name without regard to case and a base name's family are binary searches. Rebuilt
    // with the listing, in one allocation for a large directory.
    std::vector<std::pair<std::string, std::uint32_t>> lowerNames_;
};

} // namespace morvane
