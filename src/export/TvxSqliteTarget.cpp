#include "export/TvxSqliteTarget.h"

#include "model/vxFieldTypes.h"

#include <algorithm>
#include <map>
#include <sqlite3.h>

#include "export/EvxExportError.h"
#include "export/TvxExportOutput.h"
#include "export/TvxRecordPipe.h"
#include "export/TvxSqliteBatchTable.h"
#include "export/TvxSqliteBatchValues.h"
#include "export/TvxSqliteConnection.h"
#include "export/vxSqliteSchema.h"

namespace morvane {

namespace {

// Records are read on a thread of their own and added by SQLite this many at a time.
constexpr std::size_t BatchRecords = 1024;
// The virtual table the records of a table are added from: a name no exported table can have.
std::string batchTableName(std::size_t table)
{
    return "morvane/records/" + std::to_string(table);
}

void runToEnd(TvxSqliteStatement& stmt, TvxSqliteConnection& db, const std::string& context)
{
    if (stmt.Step() != SQLITE_DONE)
        throw EvxExportError(context + ": " + db.ErrorMessage());
    stmt.Reset();
}

} // namespace

TvxSqliteTarget::TvxSqliteTarget(std::string path, bool force) : path_(std::move(path)), force_(force) {}

TvxSqliteTarget::~TvxSqliteTarget()
{
    rejectInsert_.reset();
    db_.reset(); // closed before the output removes its file
}

void TvxSqliteTarget::Begin(const std::vector<TvxExportTable>& tables, TvxExportResult& result)
{
    tables_ = &tables;
    schemas_ = SqliteSchemas(tables, result.warnings);
    output_ = std::make_unique<TvxExportOutput>(path_, TvxExportOutput::Kind::File, force_);
    db_ = std::make_unique<TvxSqliteConnection>(output_->FilePath());
    // The file is renamed into place only when complete and flushed by the output, so it needs
    // no journal on disk and no syncing of its own. Pages of 16 KiB take a quarter of the
    // writes of the usual 4 KiB. Records are appended, so a small cache holds the pages they
    // go to and full pages are written out as it fills; building the indexes gets a large one.
    db_->Exec("PRAGMA page_size = 16384; PRAGMA journal_mode = MEMORY; PRAGMA synchronous = OFF;"
              "PRAGMA locking_mode = EXCLUSIVE; PRAGMA cache_size = -4096; PRAGMA foreign_keys = OFF",
              "setting up");
    db_->Exec("BEGIN", "creating the tables");
    for (std::size_t i = 0; i < tables.size(); ++i)
        db_->Exec(schemas_[i].createTable, "creating table " + tables[i].name);
    listChecks();
    db_->Exec("COMMIT", "creating the tables");
}

void TvxSqliteTarget::listChecks()
{
    bool any = false;
    for (const auto& s : schemas_)
        any = any || !s.checks.empty();
    if (!any)
        return;
    db_->Exec("CREATE TABLE " + SqlName(vxChecksTable) +
                  " (\"table\" TEXT NOT NULL, \"field\" TEXT NOT NULL, \"required\" INTEGER NOT NULL, \"minimum\","
                  " \"maximum\", \"default\", \"picture\" TEXT, \"lookup\" TEXT)",
              "listing the validity checks");
    TvxSqliteStatement insert(*db_, "INSERT INTO " + SqlName(vxChecksTable) + " VALUES (?, ?, ?, ?, ?, ?, ?, ?)",
                              "listing the validity checks");
    TvxSqliteBatchValues values;
    for (std::size_t i = 0; i < schemas_.size(); ++i) {
        const int codePage = (*tables_)[i].desc.CodePage();
        for (const auto& c : schemas_[i].checks) {
            insert.BindText(1, (*tables_)[i].name);
            insert.BindText(2, c.field);
            insert.BindInteger(3, c.required ? 1 : 0);
            // Minimum, maximum and default: a value, TODAY or NOW, or NULL.
            const TvxExportCheckValue* bounds[] = {&c.minimum, &c.maximum, &c.defaultValue};
            TvxRecord record(3);
            for (std::size_t k = 0; k < 3; ++k)
                if (bounds[k]->state == TvxCheckValue::Value)
                    record[k] = bounds[k]->value;
            values.Prepare(&record, 1, std::vector<int>(3, c.fieldType), codePage);
            for (std::size_t k = 0; k < 3; ++k) {
                if (bounds[k]->state == TvxCheckValue::Now)
                    insert.BindText(4 + static_cast<int>(k), c.fieldType == fldDate ? "TODAY" : "NOW");
                else
                    insert.Bind(4 + static_cast<int>(k), values.Record(0)[k]);
            }
            for (const auto& [param, text] : {std::pair{7, &c.picture}, std::pair{8, &c.lookup}}) {
                if (text->empty())
                    insert.BindNull(param);
                else
                    insert.BindText(param, *text);
            }
            runToEnd(insert, *db_, "listing the validity checks");
        }
    }
}

void TvxSqliteTarget::WriteTable(std::size_t index, IvxRecordSource& records, TvxExportResult& result)
{
    const TvxExportTable& table = (*tables_)[index];
    const TvxSqliteTableSchema& schema = schemas_[index];
    const auto& fields = table.desc.Fields();
    const std::size_t fieldCount = fields.size();
    const int codePage = table.desc.CodePage();
    const std::string context = "adding the records of " + table.name;
    TvxExportTableResult& counts = result.tables[index];

    // The records go in a batch at a time, each batch through one statement that reads it from
    // a virtual table. A batch SQLite refuses goes again in halves, down to single records, so
    // that only the records at fault are refused. The reading thread puts the values in the
    // forms SQLite takes.
    TvxSqliteBatchTable source(db_->Handle(), batchTableName(index), fieldCount);
    TvxSqliteStatement insert(*db_, schema.insertInto + "SELECT * FROM " + SqlName(batchTableName(index)), context);
    std::vector<int> types;
    for (const auto& f : fields)
        types.push_back(f.type());
    TvxSqliteBatchValues values[TvxRecordPipe::Batches];

    const auto blankKey = [&](const TvxRecord& record) {
        return schema.rowidKey >= 0 &&
               (static_cast<std::size_t>(schema.rowidKey) >= record.size() || record[schema.rowidKey].isBlank());
    };
    // Adds count records from records[0], their values from v, the first numbered firstNo.
    const auto insertRange = [&](const auto& self, const TvxRecord* records, const TvxSqliteValue* v, std::size_t count,
                                 std::uint64_t firstNo) -> void {
        if (count == 1 && blankKey(*records)) { // SQLite would number the record itself
            reject(index, firstNo, "the key field is blank", *records);
            ++counts.rejected;
            return;
        }
        if (count == 1 || std::none_of(records, records + count, blankKey)) {
            source.SetRows(v, count);
            const int rc = insert.Step();
            const std::string message = rc == SQLITE_DONE ? std::string() : db_->ErrorMessage();
            insert.Reset(); // a refused statement adds none of its records
            if (rc == SQLITE_DONE) {
                counts.records += count;
                return;
            }
            if ((rc & 0xFF) != SQLITE_CONSTRAINT)
                throw EvxExportError(context + ": " + message);
            if (count == 1) {
                reject(index, firstNo, message, *records);
                ++counts.rejected;
                return;
            }
        }
        const std::size_t half = count / 2;
        self(self, records, v, half, firstNo);
        self(self, records + half, v + half * fieldCount, count - half, firstNo + half);
    };

    db_->Exec("BEGIN", context);
    {
        const auto prepare = [&](std::size_t batch, const TvxRecord* recs, std::size_t count) {
            values[batch].Prepare(recs, count, types, codePage);
        };
        TvxRecordPipe pipe(records, BatchRecords, TvxRecordPipe::ExportBytesInFlight, prepare);
        std::uint64_t read = 0;
        const TvxRecord* recs = nullptr;
        std::size_t batch = 0;
        while (const std::size_t count = pipe.Next(recs, batch)) {
            insertRange(insertRange, recs, values[batch].Record(0), count, read + 1);
            read += count;
        }
    }
    db_->Exec("COMMIT", context);
    if (counts.rejected > 0)
        result.warnings.push_back(table.name + ": " + std::to_string(counts.rejected) +
                                  " records break its key or checks in SQLite; kept in " +
                                  std::string(vxRejectedTable));
}

void TvxSqliteTarget::reject(std::size_t table, std::uint64_t recordNo, const std::string& reason,
                             const TvxRecord& record)
{
    const std::string context = "keeping a refused record";
    if (!rejectInsert_) {
        db_->Exec(RejectedTableSql(SqlName(vxRejectedTable)), context);
        rejectInsert_ = std::make_unique<TvxSqliteStatement>(
            *db_, "INSERT INTO " + SqlName(vxRejectedTable) + " VALUES (?, ?, ?, ?)", context);
    }
    const TvxExportTable& t = (*tables_)[table];
    rejectInsert_->BindText(1, t.name);
    rejectInsert_->BindInteger(2, static_cast<std::int64_t>(recordNo));
    rejectInsert_->BindText(3, reason);
    const std::string values = RecordJson(record, t.desc); // bound, not copied, until the statement runs
    rejectInsert_->BindText(4, values);
    runToEnd(*rejectInsert_, *db_, context);
}

void TvxSqliteTarget::buildIndexes(TvxExportResult& result)
{
    for (const auto& schema : schemas_)
        for (const auto& x : schema.indexes) {
            try {
                db_->Exec(x.sql, "creating " + x.description);
            } catch (const EvxExportError&) {
                if (x.fallbackSql.empty())
                    throw;
                db_->Exec(x.fallbackSql, "creating " + x.description);
                result.warnings.push_back(x.description + ": the records break its uniqueness; created as not unique");
            }
        }
}

void TvxSqliteTarget::checkForeignKeys(TvxExportResult& result)
{
    TvxSqliteStatement check(*db_, "PRAGMA foreign_key_check", "checking the referential integrity");
    std::map<std::pair<std::string, std::string>, std::uint64_t> missing; // (table, master) -> records
    int rc = 0;
    while ((rc = check.Step()) == SQLITE_ROW)
        ++missing[{check.ColumnText(0), check.ColumnText(2)}];
    if (rc != SQLITE_DONE)
        throw EvxExportError("checking the referential integrity: " + db_->ErrorMessage());
    for (const auto& [tables, count] : missing)
        result.warnings.push_back(tables.first + ": " + std::to_string(count) +
                                  " records refer to records missing from " + tables.second);
}

void TvxSqliteTarget::Finish(TvxExportResult& result)
{
    db_->Exec("PRAGMA cache_size = -32768", "creating the indexes");
    buildIndexes(result);
    checkForeignKeys(result);
    rejectInsert_.reset();
    db_->CheckWrites();
    db_->Close();
    db_.reset();
    output_->Commit();
}

} // namespace morvane
