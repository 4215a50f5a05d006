#include "export/TvxExporter.h"

#include "db/cpDatabase.h"
#include "db/EvxEngineError.h"
#include "db/vxDatabaseFiles.h"
#include "model/vxCodePage.h"

#include <filesystem>
#include <memory>
#include <tuple>

#include "export/EvxExportError.h"
#include "export/TvxCsvTarget.h"
#ifdef MORVANE_POSTGRES_EXPORT
#include "export/TvxPostgresTarget.h"
#endif
#ifdef MORVANE_SQLITE_EXPORT
#include "export/TvxSqliteTarget.h"
#endif
#include "export/vxExportValues.h"

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
// counted and reported (the first few of a table by the reader's message). The NUL bytes of
// the values exports hold as text are changed (ReplaceTextNuls), every value reported.
class TvxDamageReportingSource : public IvxRecordSource
{
public:
    static constexpr std::uint64_t ReportedPerTable = 10;

    TvxDamageReportingSource(IvxRecordSource& records, const TvxExportTable& table, TvxExportTableResult& counts,
                             std::vector<std::string>& warnings)
        : records_(records), counts_(counts), warnings_(warnings)
    {
        for (std::size_t i = 0; i < table.desc.Fields().size(); ++i) {
            const auto& f = table.desc.Fields()[i];
            if (IsExportTextType(f.type()))
                texts_.emplace_back(i, table.name + ": record ",
                                    ", field " + ExportText(f.name(), table.desc.CodePage()) + ": ");
        }
    }
    ~TvxDamageReportingSource() override
    {
        if (counts_.damaged > ReportedPerTable)
            warnings_.push_back(counts_.name + ": " + std::to_string(counts_.damaged - ReportedPerTable) +
                                " more records with a damaged value, written with it blank");
    }

    bool Next(TvxRecord& record) override
    {
        try {
            if (!records_.Next(record))
                return false;
        } catch (const EvxEngineError& e) {
            if (!records_.Resumable())
                throw;
            if (++counts_.damaged <= ReportedPerTable)
                warnings_.push_back(std::string(e.what()) + "; written with the value blank");
        }
        ++recordNo_;
        for (const auto& [field, before, after] : texts_)
            if (field < record.size() && record[field].kind() == TvxFieldValue::Kind::Bytes &&
                record[field].text().find('\0') != std::string::npos)
                replaceNuls(record[field], before, after);
        return true;
    }

private:
    void replaceNuls(TvxFieldValue& value, const std::string& before, const std::string& after)
    {
        std::string& text = value.textForWriting(TvxFieldValue::Kind::Bytes);
        const TvxNulChange change = ReplaceTextNuls(text);
        if (text.empty())
            value = TvxFieldValue();
        ++counts_.altered;
        std::string what;
        if (change.dropped > 0)
            what = std::to_string(change.dropped) + " NUL bytes at its end dropped";
        if (change.replaced > 0)
            what += (what.empty() ? "" : ", ") + std::to_string(change.replaced) + " NUL bytes written as U+001A";
        warnings_.push_back(before + std::to_string(recordNo_) + after + what);
    }

    IvxRecordSource& records_;
    TvxExportTableResult& counts_;
    std::vector<std::string>& warnings_;
    std::vector<std::tuple<std::size_t, std::string, std::string>> texts_; // field, the warning's two parts
    std::uint64_t recordNo_ = 0;
};

// An output file that would be the database's directory or a file of one of its tables (by any
// path, links resolved) is refused, whatever `force` says.
void refuseDatabaseFiles(const TvxDatabase& db, const TvxExportOptions& options,
                         const std::vector<TvxExportTable>& tables)
{
    const std::string directory = db.Handle()->Directory();
    std::vector<std::string> outputs;
    if (options.format == TvxExportFormat::Postgres)
        return;
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
    if (options.format == TvxExportFormat::Postgres)
#ifdef MORVANE_POSTGRES_EXPORT
        return std::make_unique<TvxPostgresTarget>(options.output, options.schema, options.force);
#else
        throw EvxExportError("this build has no PostgreSQL export");
#endif
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
        result.tables.push_back({t.name, 0, 0, 0, 0});
    refuseDatabaseFiles(db, options, tables);
    const auto target = makeTarget(options);
    target->Begin(tables, result);
    for (std::size_t i = 0; i < tables.size(); ++i) {
        const auto records = db.OpenRecords(tables[i].engineName);
        TvxDamageReportingSource source(*records, tables[i], result.tables[i], result.warnings);
        target->WriteTable(i, source, result);
        for (auto& note : records->TakeNotes())
            result.warnings.push_back(std::move(note));
    }
    target->Finish(result);
    return result;
}

} // namespace morvane
