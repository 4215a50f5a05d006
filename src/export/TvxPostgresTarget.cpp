#include "export/TvxPostgresTarget.h"

#include <set>
#include <unordered_set>

#include "export/EvxExportError.h"
#include "export/TvxPostgresConnection.h"
#include "export/TvxPostgresCopyValues.h"
#include "export/TvxRecordPipe.h"
#include "export/vxPostgresSchema.h"

namespace morvane {

namespace {

// Records are read on a thread of their own and copied to the server this many at a time.
constexpr std::size_t BatchRecords = 2048;
// What the batches hold of texts and blobs at most, together (and one record more).
constexpr std::size_t BytesInFlight = std::size_t{64} << 20;

} // namespace

TvxPostgresTarget::TvxPostgresTarget(std::string conninfo, std::string schema, bool force)
    : conninfo_(std::move(conninfo)), schema_(std::move(schema)), force_(force)
{}

TvxPostgresTarget::~TvxPostgresTarget() = default;

void TvxPostgresTarget::Begin(const std::vector<TvxExportTable>& tables, TvxExportResult& result)
{
    tables_ = &tables;
    db_ = std::make_unique<TvxPostgresConnection>(conninfo_);
    db_->Exec("BEGIN", "starting the export");
    // Made only when missing: making it asks for a right that filling it does not.
    if (db_->Exec("SELECT 1 FROM pg_namespace WHERE nspname = $1", "reading schema " + schema_, {schema_}).empty())
        db_->Exec("CREATE SCHEMA " + SqlName(schema_), "creating schema " + schema_);
    replaceTables(tables);
    std::set<std::string> taken{std::string(vxRejectedTable)};
    for (const auto& row : db_->Exec("SELECT c.relname FROM pg_class c JOIN pg_namespace n ON n.oid = c.relnamespace"
                                     " WHERE n.nspname = $1",
                                     "reading schema " + schema_, {schema_}))
        taken.insert(row[0]);
    schemas_ = PostgresSchemas(tables, schema_, taken, result.warnings);
    for (std::size_t i = 0; i < tables.size(); ++i) {
        db_->Exec(schemas_[i].createTable, "creating table " + tables[i].name);
        for (const auto& comment : schemas_[i].comments)
            db_->Exec(comment, "describing table " + tables[i].name);
    }
}

void TvxPostgresTarget::replaceTables(const std::vector<TvxExportTable>& tables)
{
    std::set<std::string> names;
    for (const auto& t : tables)
        names.insert(t.name);
    std::string held;
    std::string drop;
    for (const auto& row : db_->Exec("SELECT c.relname, c.relkind FROM pg_class c"
                                     " JOIN pg_namespace n ON n.oid = c.relnamespace WHERE n.nspname = $1 ORDER BY 1",
                                     "reading schema " + schema_, {schema_})) {
        rejectedTable_ = rejectedTable_ || (row[0] == vxRejectedTable && row[1] == "r");
        if (!names.count(row[0]))
            continue;
        held += (held.empty() ? "" : ", ") + row[0];
        drop += (drop.empty() ? "" : ", ") + SqlName(schema_) + "." + SqlName(row[0]);
    }
    // The records refused by an earlier export of these tables go with them.
    if (rejectedTable_)
        for (const auto& name : names)
            db_->Exec("DELETE FROM " + SqlName(schema_) + "." + SqlName(vxRejectedTable) + " WHERE \"table\" = $1",
                      "replacing " + name, {name});
    if (held.empty())
        return;
    if (!force_)
        throw EvxExportError("schema " + schema_ + " holds " + held + " already (--force replaces them)");
    db_->Exec("DROP TABLE " + drop, "replacing " + held);
}

void TvxPostgresTarget::WriteTable(std::size_t index, IvxRecordSource& records, TvxExportResult& result)
{
    const TvxExportTable& table = (*tables_)[index];
    const TvxPostgresTableSchema& schema = schemas_[index];
    const int codePage = table.desc.CodePage();
    const std::string context = "adding the records of " + table.name;
    TvxExportTableResult& counts = result.tables[index];
    std::vector<int> types;
    for (const auto& f : table.desc.Fields())
        types.push_back(f.type());
    std::unordered_set<std::string> keys; // of the records read, used by the reading thread alone
    TvxPostgresCopyValues values[TvxRecordPipe::Batches];

    // Copies rows [first, first + count) of a batch whose first record is numbered firstNo. A
    // copy the server refuses goes again in halves, down to single records, which are refused.
    const auto copyRows = [&](const auto& self, TvxPostgresCopyValues& v, const TvxRecord* recs, std::size_t first,
                              std::size_t count, std::uint64_t firstNo) -> void {
        db_->Exec("SAVEPOINT morvane_copy", context);
        const std::string message = db_->Copy(schema.copy, v.Data(first, count), context);
        db_->Exec(message.empty() ? "RELEASE SAVEPOINT morvane_copy" : "ROLLBACK TO SAVEPOINT morvane_copy", context);
        if (message.empty()) {
            counts.records += count;
            return;
        }
        if (count == 1) {
            reject(index, firstNo + v.RecordOf(first), message, recs[v.RecordOf(first)]);
            ++counts.rejected;
            return;
        }
        const std::size_t half = count / 2;
        self(self, v, recs, first, half, firstNo);
        self(self, v, recs, first + half, count - half, firstNo);
    };

    {
        TvxRecordPipe pipe(records, BatchRecords, BytesInFlight, [&](std::size_t batch, const TvxRecord* recs, std::size_t count) {
            values[batch].Prepare(recs, count, types, codePage, schema.primaryKey, keys);
        });
        std::uint64_t read = 0;
        const TvxRecord* recs = nullptr;
        std::size_t batch = 0;
        while (const std::size_t count = pipe.Next(recs, batch)) {
            TvxPostgresCopyValues& v = values[batch];
            for (const auto& r : v.Refusals()) {
                reject(index, read + r.record + 1, r.reason, recs[r.record]);
                ++counts.rejected;
            }
            if (v.Rows() > 0)
                copyRows(copyRows, v, recs, 0, v.Rows(), read + 1);
            read += count;
        }
    }
    if (counts.rejected > 0)
        result.warnings.push_back(table.name + ": " + std::to_string(counts.rejected) +
                                  " records break its key or checks in PostgreSQL; kept in " +
                                  std::string(vxRejectedTable));
}

void TvxPostgresTarget::reject(std::size_t table, std::uint64_t recordNo, const std::string& reason,
                               const TvxRecord& record)
{
    const std::string context = "keeping a refused record";
    const std::string name = SqlName(schema_) + "." + SqlName(vxRejectedTable);
    if (!rejectedTable_)
        db_->Exec(RejectedTableSql(name), context);
    rejectedTable_ = true;
    const TvxExportTable& t = (*tables_)[table];
    db_->Exec("INSERT INTO " + name + " VALUES ($1, $2, $3, $4)", context,
              {t.name, std::to_string(recordNo), reason, RecordJson(record, t.desc)});
}

void TvxPostgresTarget::Finish(TvxExportResult& result)
{
    for (const auto& schema : schemas_)
        for (const auto& step : schema.afterRecords) {
            if (step.fallback.empty()) {
                db_->Exec(step.sql, "creating " + step.description);
            } else if (!db_->Try(step.sql).empty()) {
                db_->Exec(step.fallback, "creating " + step.description);
                result.warnings.push_back(step.description +
                                          ": the records break its uniqueness; created as not unique");
            }
        }
    for (std::size_t t = 0; t < schemas_.size(); ++t)
        for (std::size_t i = 0; i < schemas_[t].foreignKeys.size(); ++i) {
            const TvxPostgresStep& step = schemas_[t].foreignKeys[i];
            const std::string message = db_->Try(step.sql);
            if (message.empty())
                continue;
            const auto& [orphans, master] = schemas_[t].orphans[i];
            const std::string count = db_->Exec(orphans, "checking " + step.description).at(0).at(0);
            if (const std::string again = db_->Try(step.fallback); !again.empty())
                result.warnings.push_back(step.description + ": left out: " + again);
            else
                result.warnings.push_back((*tables_)[t].name + ": " + count +
                                          " records refer to records missing from " + master + "; " + step.description +
                                          " holds for new records only");
        }
    db_->Exec("COMMIT", "committing the export");
    db_.reset();
}

} // namespace morvane
