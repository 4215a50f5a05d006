#pragma once
// TvxParadoxTableWriter: the Paradox writer (ParadoxWriteTable, which checks every family with
// ParadoxCheckFamily in its working directory before moving it into place) behind the
// server's writer interface, on the given file system.

#include <string>

#include "server/IvxTableWriter.h"

namespace morvane {

class ParadoxWriterFiles;

class TvxParadoxTableWriter : public IvxTableWriter
{
public:
    // files: not owned. sourceDirectory: refused as the directory written to.
    TvxParadoxTableWriter(ParadoxWriterFiles& files, std::string sourceDirectory);

    std::vector<std::string> WriteTable(const TvxWriteRequest& request) override;

private:
    ParadoxWriterFiles& files_;
    std::string sourceDirectory_;
};

} // namespace morvane
