#include "script/TvxUpdateFileVersion.h"

#include "stream/TWriter.h"

namespace morvane {

void TvxUpdateFileVersion::WriteTo(TvxStream& stream) const
{
    TvxScriptFileVersion::WriteTo(stream);
    TWriter writer(stream);
    writer.PutBoolean(Flag);
    writer.Flush();
}

} // namespace morvane
