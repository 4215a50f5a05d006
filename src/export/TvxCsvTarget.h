#pragma once
// CSV export: one file "<table>.csv" per table in the output directory, UTF-8 without a byte
// order mark, RFC 4180 (CRLF line ends; a cell holding a comma, a quote or a line break in
// quotes, its quotes doubled), a header line of the field names, then one line per record in
// the forms of AppendExportText; a blank value is an empty cell.

#include <memory>
#include <string>

#include "export/IvxExportTarget.h"
#include "export/TvxExportOutput.h"

namespace morvane {

class TvxCsvTarget : public IvxExportTarget
{
public:
    TvxCsvTarget(std::string directory, bool force);
    ~TvxCsvTarget() override;

    void Begin(const std::vector<TvxExportTable>& tables, TvxExportResult& result) override;
    void WriteTable(std::size_t index, IvxRecordSource& records, TvxExportResult& result) override;
    void Finish(TvxExportResult& result) override;

private:
    std::string directory_;
    bool force_;
    const std::vector<TvxExportTable>* tables_ = nullptr;
    std::unique_ptr<TvxExportOutput> output_;
};

// out += text as one CSV cell.
void AppendCsvCell(std::string& out, std::string_view text);

} // namespace morvane
