#include "export/TvxExporter.h"

#include "db/cpDatabase.h"
#include "db/EvxEngineError.h"
#include "db/vxDatabaseFiles.h"
#include "model/vxCodePage.h"

#include <filesystem>
#include <memory>

#include "export/EvxExportError.h"
#include "export/TvxCsvTarget.h"
#ifdef MORVANE_SQLITE_EXPORT
#include "export/TvxSqliteTarget.h"
#endif

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

// An output file that would be the database's directory or a file of one of its tables (by any
// path, links resolved) is refused, whatever `force` says.
void refuseDatabaseFiles(const TvxDatabase& db, const TvxExportOptions& options,
                         const std::vector<TvxExportTable>& tables)
{
    const std::string directory = db.Handle()->Directory();
    std::vector<std::string> outputs;
    if (options.format == TvxExportFormat::Csv)
        for (const auto& t : tables)
            outputs.push_back((std::filesystem::path(options.output) / (t.name + ".csv")).string());
    else
        outputs.push_back(options.output);
    for (const std::string& path : outputs)
        if (const std::string role = DatabaseFileRole(directory, path); !role.empty())
            throw EvxExportError(path + " is " + role + " of the database exported; it is not replaced");
}

std::unique_ptr<IvxExportTarget> makeTarget(const TvxExportOptions& options)
{
    if (options.format == TvxExportFormat::Csv)
        return std::make_unique<TvxCsvTarget>(options.output, options.force);
#ifdef MORVANE_SQLITE_EXPORT
    return std::make_unique<TvxSqliteTarget>(options.output, options.force);
#else
    throw EvxExportError("this build has no SQLite export (CSV only)");
#endif
}

} // namespace

TvxExportResult ExportDatabase(TvxDatabase& db, const TvxExportOptions& options)
{
    if (!db.Connected())
        throw EvxExportError("the database is not connected");
    // Every structure is read, and so every password checked, before any output is made.
    std::vector<TvxExportTable> tables;
    for (const TvxTableListRec& rec : chosenTables(db, options.tables)) {
        TvxExportTable t;
        t.engineName = db.EngineTableName(rec);
        t.desc = db.ReadTable(rec);
        t.name = outputName(t.desc);
        tables.push_back(std::move(t));
    }

    TvxExportResult result;
    for (const auto& t : tables)
        result.tables.push_back({t.name, 0, 0, 0});
    refuseDatabaseFiles(db, options, tables);
    const auto target = makeTarget(options);
    target->Begin(tables, result);
    for (std::size_t i = 0; i < tables.size(); ++i) {
        const auto records = db.OpenRecords(tables[i].engineName);
        TvxDamageReportingSource source(*records, result.tables[i], result.warnings);
        target->WriteTable(i, source, result);
    }
    target->Finish(result);
    return result;
}

} // namespace morvane
