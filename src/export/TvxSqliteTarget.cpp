#include "export/TvxSqliteTarget.h"

#include "db/vxValueDisplay.h"
#include "export/EvxExportError.h"
#include "export/TvxExportOutput.h"
#include "export/TvxSqliteConnection.h"
#include "export/vxSqliteSchema.h"
#include "model/vxFieldTypes.h"

#include <map>
#include <sqlite3.h>

namespace morvane {

namespace {

bool isBinaryType(int type)
{
    return type == fldBytes || type == fldBinary || type == fldOle || type == fldGraphic;
}

bool isAscii(const std::string& bytes)
{
    for (const char c : bytes)
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    return true;
}

// Binds the value in its column's form; scratch holds a converted text until the statement
// has run.
void bindValue(TvxSqliteStatement& stmt, int param, const TvxFieldValue& v, int type, int codePage,
               std::string& scratch)
{
    using Kind = TvxFieldValue::Kind;
    switch (v.kind()) {
    case Kind::Blank:
        stmt.BindNull(param);
        return;
    case Kind::Integer:
    case Kind::Logical:
        stmt.BindInteger(param, v.integer());
        return;
    case Kind::Float:
        stmt.BindReal(param, v.real());
        return;
    case Kind::Bcd:
        stmt.BindText(param, v.text());
        return;
    case Kind::Bytes:
        if (isBinaryType(type)) {
            stmt.BindBlob(param, v.text());
        } else if (isAscii(v.text())) {
            stmt.BindText(param, v.text());
        } else {
            scratch = ExportText(v.text(), codePage);
            stmt.BindText(param, scratch);
        }
        return;
    case Kind::Date:
        scratch = ValueDateText(static_cast<std::int32_t>(v.integer()));
        stmt.BindText(param, scratch);
        return;
    case Kind::Time:
        scratch = ValueTimeText(static_cast<std::int32_t>(v.integer()));
        stmt.BindText(param, scratch);
        return;
    case Kind::Timestamp:
        scratch = ValueTimestampText(v.real());
        stmt.BindText(param, scratch);
        return;
    }
}

void bindCheckValue(TvxSqliteStatement& stmt, int param, const TvxSqliteCheckValue& v, int type, int codePage,
                    std::string& scratch)
{
    if (v.state == TvxCheckValue::Now)
        stmt.BindText(param, type == fldDate ? "TODAY" : "NOW");
    else if (v.state == TvxCheckValue::Value)
        bindValue(stmt, param, v.value, type, codePage, scratch);
    else
        stmt.BindNull(param);
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
    // no journal on disk and no syncing of its own.
    db_->Exec("PRAGMA journal_mode = MEMORY; PRAGMA synchronous = OFF; PRAGMA locking_mode = EXCLUSIVE;"
              "PRAGMA cache_size = -32768; PRAGMA foreign_keys = OFF",
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
    db_->Exec("CREATE TABLE " + SqliteName(vxChecksTable) +
                  " (\"table\" TEXT NOT NULL, \"field\" TEXT NOT NULL, \"required\" INTEGER NOT NULL, \"minimum\","
                  " \"maximum\", \"default\", \"picture\" TEXT, \"lookup\" TEXT)",
              "listing the validity checks");
    TvxSqliteStatement insert(*db_, "INSERT INTO " + SqliteName(vxChecksTable) + " VALUES (?, ?, ?, ?, ?, ?, ?, ?)",
                              "listing the validity checks");
    std::string scratch[3];
    for (std::size_t i = 0; i < schemas_.size(); ++i) {
        const int codePage = (*tables_)[i].desc.CodePage();
        for (const auto& c : schemas_[i].checks) {
            insert.BindText(1, (*tables_)[i].name);
            insert.BindText(2, c.field);
            insert.BindInteger(3, c.required ? 1 : 0);
            bindCheckValue(insert, 4, c.minimum, c.fieldType, codePage, scratch[0]);
            bindCheckValue(insert, 5, c.maximum, c.fieldType, codePage, scratch[1]);
            bindCheckValue(insert, 6, c.defaultValue, c.fieldType, codePage, scratch[2]);
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
    const int codePage = table.desc.CodePage();
    const std::string context = "adding the records of " + table.name;
    TvxSqliteStatement insert(*db_, schema.insert, context);
    std::vector<std::string> scratch(fields.size());
    TvxExportTableResult& counts = result.tables[index];

    db_->Exec("BEGIN", context);
    TvxRecord record;
    for (std::uint64_t recordNo = 1; records.Next(record); ++recordNo) {
        if (schema.rowidKey >= 0 &&
            (static_cast<std::size_t>(schema.rowidKey) >= record.size() || record[schema.rowidKey].isBlank())) {
            reject(index, recordNo, "the key field is blank", record);
            ++counts.rejected;
            continue;
        }
        for (std::size_t i = 0; i < fields.size(); ++i) {
            if (i < record.size())
                bindValue(insert, static_cast<int>(i) + 1, record[i], fields[i].type(), codePage, scratch[i]);
            else
                insert.BindNull(static_cast<int>(i) + 1);
        }
        const int rc = insert.Step();
        if (rc == SQLITE_DONE) {
            insert.Reset();
            ++counts.records;
        } else if ((rc & 0xFF) == SQLITE_CONSTRAINT) {
            const std::string reason = db_->ErrorMessage();
            insert.Reset();
            reject(index, recordNo, reason, record);
            ++counts.rejected;
        } else {
            throw EvxExportError(context + ": " + db_->ErrorMessage());
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
        db_->Exec("CREATE TABLE IF NOT EXISTS " + SqliteName(vxRejectedTable) +
                      " (\"table\" TEXT NOT NULL, \"record\" INTEGER NOT NULL, \"reason\" TEXT NOT NULL,"
                      " \"values\" TEXT NOT NULL)",
                  context);
        rejectInsert_ = std::make_unique<TvxSqliteStatement>(
            *db_, "INSERT INTO " + SqliteName(vxRejectedTable) + " VALUES (?, ?, ?, ?)", context);
    }
    const TvxExportTable& t = (*tables_)[table];
    std::string values = "[";
    for (std::size_t i = 0; i < record.size() && i < t.desc.Fields().size(); ++i) {
        if (i)
            values += ", ";
        AppendValueJson(values, record[i], t.desc.Fields()[i].type(), t.desc.CodePage());
    }
    values += ']';
    rejectInsert_->BindText(1, t.name);
    rejectInsert_->BindInteger(2, static_cast<std::int64_t>(recordNo));
    rejectInsert_->BindText(3, reason);
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
        result.warnings.push_back(tables.first + ": " + std::to_string(count) + " records refer to records missing from " +
                                  tables.second);
}

void TvxSqliteTarget::Finish(TvxExportResult& result)
{
    buildIndexes(result);
    checkForeignKeys(result);
    rejectInsert_.reset();
    db_->Close();
    db_.reset();
    output_->Commit();
}

} // namespace morvane
