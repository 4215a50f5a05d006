#pragma once
// One output format of an export. The exporter calls Begin with every table, WriteTable for
// each in turn, then Finish, which completes the output and moves it into place. Failures
// throw (EvxExportError, or the record source's EvxEngineError); a target destroyed before
// Finish leaves nothing behind. WriteTable may read the records on another thread (the caller
// touches neither them nor result meanwhile); it is done with them when it returns or throws.

#include "db/IvxRecordSource.h"

#include <cstddef>
#include <vector>

#include "export/TvxExporter.h"

namespace morvane {

class IvxExportTarget
{
public:
    virtual ~IvxExportTarget() = default;
    // tables outlive the target; result.tables has one entry per table.
    virtual void Begin(const std::vector<TvxExportTable>& tables, TvxExportResult& result) = 0;
    virtual void WriteTable(std::size_t index, IvxRecordSource& records, TvxExportResult& result) = 0;
    virtual void Finish(TvxExportResult& result) = 0;
};

} // namespace morvane
