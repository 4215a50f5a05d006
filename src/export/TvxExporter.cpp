#include "export/TvxExporter.h"

#include "db/cpDatabase.h"
#include "db/EvxEngineError.h"
#include "model/vxCodePage.h"

#include <memory>

#include "export/EvxExportError.h"
#include "export/TvxCsvTarget.h"
#include "export/TvxSqliteTarget.h"

namespace morvane {

namespace {

// The name a table has in the output: its name as the file system gives it, read in the
// table's code page when it is not UTF-8 already (files copied from older systems).
std::string outputName(const TvxTableDesc& desc)
{
    const std::string name = desc.TableName();
    return IsUtf8(name) ? name : CodePageToUtf8(name, desc.CodePage());
}

std::vector<TvxTableListRec> chosenTables(TvxDatabase& db, const std::vector<std::string>& names)
{
    if (names.empty())
        return db.Handle()->ListTables("*.db");
    std::vector<TvxTableListRec> out;
    for (const auto& name : names) {
        TvxTableListRec rec = db.FindTable(name);
        bool listed = false;
        for (const auto& r : out)
            listed = listed || db.EngineTableName(r) == db.EngineTableName(rec);
        if (!listed)
            out.push_back(rec);
    }
    return out;
}

// The table's records; a record with a damaged value is passed on with the value blank, and
// counted and reported (the first few of a table by the reader's message).
class TvxDamageReportingSource : public IvxRecordSource
{
public:
    static constexpr std::uint64_t ReportedPerTable = 10;

    TvxDamageReportingSource(IvxRecordSource& records, TvxExportTableResult& counts, std::vector<std::string>& warnings)
        : records_(records), counts_(counts), warnings_(warnings)
    {}
    ~TvxDamageReportingSource() override
    {
        if (counts_.damaged > ReportedPerTable)
            warnings_.push_back(counts_.name + ": " + std::to_string(counts_.damaged - ReportedPerTable) +
                                " more records with a damaged value, written with it blank");
    }

    bool Next(TvxRecord& record) override
    {
        try {
            return records_.Next(record);
        } catch (const EvxEngineError& e) {
            if (!records_.Resumable())
                throw;
            if (++counts_.damaged <= ReportedPerTable)
                warnings_.push_back(std::string(e.what()) + "; written with the value blank");
            return true;
        }
    }

private:
    IvxRecordSource& records_;
    TvxExportTableResult& counts_;
    std::vector<std::string>& warnings_;
};

std::unique_ptr<IvxExportTarget> makeTarget(const TvxExportOptions& options)
{
    if (options.format == TvxExportFormat::Csv)
        return std::make_unique<TvxCsvTarget>(options.output, options.force);
    return std::make_unique<TvxSqliteTarget>(options.output, options.force);
}

} // namespace

TvxExportResult ExportDatabase(TvxDatabase& db, const TvxExportOptions& options)
{
    if (!db.Connected())
        throw EvxExportError("the database is not connected");
    // Every structure is read, and so every password checked, before any output is made.
    std::vector<TvxExportTable> tables;
    TvxExportResult result;
    for (const TvxTableListRec& rec : chosenTables(db, options.tables)) {
        TvxExportTable t;
        t.engineName = db.EngineTableName(rec);
        try {
            t.desc = db.ReadTable(rec);
        } catch (const EvxEngineError& e) {
            if (e.Code() == vxErrPasswordRequired)
                throw;
            result.skipped.push_back(t.engineName + ": not exported: " + e.what());
            continue;
        }
        t.name = outputName(t.desc);
        tables.push_back(std::move(t));
    }

    for (const auto& t : tables)
        result.tables.push_back({t.name, 0, 0, 0});
    const auto target = makeTarget(options);
    target->Begin(tables, result);
    for (std::size_t i = 0; i < tables.size(); ++i) {
        const auto records = db.OpenRecords(tables[i].engineName);
        TvxDamageReportingSource source(*records, result.tables[i], result.warnings);
        target->WriteTable(i, source, result);
        for (auto& note : records->TakeNotes())
            result.warnings.push_back(std::move(note));
    }
    target->Finish(result);
    return result;
}

} // namespace morvane
