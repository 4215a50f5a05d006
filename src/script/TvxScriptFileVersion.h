#pragma once
// TvxScriptFileVersion: the header of a script document: the strings of TvxCustomVersion,
// then a second section with the file kind.

#include <cstdint>

#include "script/TvxCustomVersion.h"

namespace morvane {

enum TvxFileKind : std::int32_t { fkScriptDocument = 0, fkUpdateScript = 1, fkMaintenanceScript = 2 };

class TvxScriptFileVersion : public TvxCustomVersion
{
public:
    TvxScriptFileVersion() = default;
    TvxScriptFileVersion(std::string appName, std::string version, std::int32_t fileKind)
        : TvxCustomVersion(std::move(appName), std::move(version)), FileKind(fileKind)
    {
    }

    void WriteTo(TvxStream& stream) const;
    void ReadFrom(TvxStream& stream);

    std::int32_t FileKind = fkScriptDocument;
};

} // namespace morvane
