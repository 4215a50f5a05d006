#pragma once
// TvxTableBuilder: builds the planned tables, masters before their dependents. For each it
// reads the records of its origin, converts and checks them (TvxRecordConverter) and, unless
// it only previews, writes the table's family and, when records were kept aside, the problem
// table PROBLEM_<TABLE>.DB and the key-violation table KEYVIOL_<TABLE>.DB (the origin's
// fields, no key, the origin's password) into the output directory; the writer checks every
// family before it puts it there. Fills the report. Throws EvxRunError: 302 (301) when an origin cannot be read
// (opened), 293 when a table cannot be written or does not check out; the message names it.
// Everything the builder reads is read once, except an origin whose autoincrement values it
// must number (read once more, for their highest value).

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "db/IvxRecordSource.h"
#include "script/IvxUpdateServer.h"
#include "script/TvxUpdateReport.h"
#include "server/TvxTablePlan.h"
#include "server/vxRecordKey.h"

namespace morvane {

class IvxTableReader;
class TvxKeptRecords;
class IvxTableWriter;

class TvxTableBuilder
{
public:
    // source: the source database; target: the target's tables as they are (null when the
    // target directory does not exist); writer: null for a preview. None is owned.
    TvxTableBuilder(IvxTableReader& source, IvxTableReader* target, IvxTableWriter* writer, std::string outputDir,
                    TvxUpdateReport& report);

    void SetProgress(TvxUpdateProgressEvent onProgress) { onProgress_ = std::move(onProgress); }

    // Finishes the plans (rules on both sides, layouts) and builds them. Returns the base names
    // of the families written, problem tables included.
    std::vector<std::string> Build(std::vector<TvxTablePlan>& plans);

private:
    IvxTableReader& ReaderOf(const TvxTablePlan& plan);
    std::unique_ptr<IvxRecordSource> OpenOrigin(const TvxTablePlan& plan);
    void BuildTable(std::vector<TvxTablePlan>& plans, int index, TvxTableUpdateReport& report);
    // The primary keys of a table the run does not build but a rule needs (null: not found).
    const TvxKeySet* ExistingKeys(const std::string& table, TvxTableUpdateReport& report);
    void WriteKept(const TvxTablePlan& plan, const std::string& prefix, TvxKeptRecords& records,
                   std::string& reportName);

    IvxTableReader& source_;
    IvxTableReader* target_;
    IvxTableWriter* writer_;
    std::string outputDir_;
    TvxUpdateReport& report_;
    TvxUpdateProgressEvent onProgress_;
    std::map<int, TvxKeySet> builtKeys_;          // primary keys of built masters, by plan
    std::map<std::string, TvxKeySet> existingKeys_; // by base name, upper case
    std::vector<std::string> written_;
};

// The structure of a problem or key-violation table of a plan: the origin's fields, no key,
// no indexes, checks or rules.
TvxTableDesc KeptRecordsDesc(const TvxTablePlan& plan, const std::string& name);

} // namespace morvane
