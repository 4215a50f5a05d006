#pragma once
// TvxUpdateFileVersion: the header of the update and maintenance scripts: the document
// header, then a third section with a boolean flag. Reading through it reads only the
// strings and the file kind (ReadFrom is the inherited one), as documents are opened.

#include "script/TvxScriptFileVersion.h"

namespace morvane {

class TvxUpdateFileVersion : public TvxScriptFileVersion
{
public:
    TvxUpdateFileVersion() = default;
    TvxUpdateFileVersion(std::string appName, std::string version, std::int32_t fileKind, bool flag = false)
        : TvxScriptFileVersion(std::move(appName), std::move(version), fileKind), Flag(flag)
    {
    }

    void WriteTo(TvxStream& stream) const;

    bool Flag = false;
};

} // namespace morvane
