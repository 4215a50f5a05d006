#include "script/TvxCustomVersion.h"

#include "stream/TReader.h"
#include "stream/TWriter.h"

namespace morvane {

void TvxCustomVersion::WriteTo(TvxStream& stream) const
{
    TWriter writer(stream);
    writer.PutString(AppName);
    writer.PutString(Version);
    writer.Flush();
}

void TvxCustomVersion::ReadFrom(TvxStream& stream)
{
    TReader reader(stream);
    std::string appName = reader.GetString();
    std::string version = reader.GetString();
    AppName = std::move(appName);
    Version = std::move(version);
}

} // namespace morvane
