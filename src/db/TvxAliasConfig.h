#pragma once
// The engine's alias configuration: an ordered list of aliases, each with its key=value
// parameters, kept in a small INI-like text file:
//   [ALIASNAME]
//   KEY=value
// Blank lines and lines starting with ';' or '#' are ignored. Alias names and keys compare
// without regard to letter case and keep the case they were written with.
// Load throws EvxEngineError (vxErrConfig) naming the file and line of a damaged file; Save
// writes a temporary file beside the target and renames it, so a failed save leaves the
// previous file intact.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace morvane {

class TvxAliasConfig
{
public:
    // Larger files are refused as damaged.
    static constexpr std::size_t MaxFileSize = 1024 * 1024;
    static constexpr std::size_t MaxLineLength = 4096;

    struct Alias
    {
        std::string name;
        std::vector<std::string> params; // "KEY=value"
    };

    // The default location: $MORVANE_ENGINE_CONFIG, else $XDG_CONFIG_HOME (or ~/.config)
    // + "/morvane/aliases.conf".
    static std::string DefaultPath();

    // A missing file is an empty configuration.
    static TvxAliasConfig Load(const std::string& path);
    // Parses text read from fileName (used in error messages).
    static TvxAliasConfig Parse(std::string_view text, const std::string& fileName);
    std::string Format() const;
    // Creates missing parent directories.
    void Save(const std::string& path) const;

    std::vector<std::string> Names() const;
    const Alias* Find(std::string_view name) const;
    // Sets each given key (replacing a present key, adding the others in order); creates the
    // alias when missing. Throws EvxEngineError when a name, key or value cannot be stored.
    void Modify(std::string_view name, const std::vector<std::string>& params);
    // Answers whether the alias existed.
    bool Remove(std::string_view name);

    // The value of the first parameter whose key equals key (any letter case), if any.
    static bool ParamValue(const std::vector<std::string>& params, std::string_view key, std::string& value);
    static bool SameName(std::string_view a, std::string_view b);

private:
    std::vector<Alias> aliases_;
};

} // namespace morvane
