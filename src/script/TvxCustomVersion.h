#pragma once
// TvxCustomVersion: the first section of every script file, the application name and the
// version, each a string, written and read by a section writer/reader of its own. Throws the
// stream's errors.

#include <string>

namespace morvane {

class TvxStream;

class TvxCustomVersion
{
public:
    TvxCustomVersion() = default;
    TvxCustomVersion(std::string appName, std::string version)
        : AppName(std::move(appName)), Version(std::move(version))
    {
    }

    void WriteTo(TvxStream& stream) const;
    void ReadFrom(TvxStream& stream);

    std::string AppName;
    std::string Version;
};

} // namespace morvane
