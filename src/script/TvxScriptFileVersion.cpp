#include "script/TvxScriptFileVersion.h"

#include "stream/TReader.h"
#include "stream/TWriter.h"

namespace morvane {

void TvxScriptFileVersion::WriteTo(TvxStream& stream) const
{
    TvxCustomVersion::WriteTo(stream);
    TWriter writer(stream);
    writer.PutInteger(FileKind);
    writer.Flush();
}

void TvxScriptFileVersion::ReadFrom(TvxStream& stream)
{
    TvxCustomVersion::ReadFrom(stream);
    TReader reader(stream);
    FileKind = reader.GetInteger();
}

} // namespace morvane
