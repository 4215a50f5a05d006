#include "export/TvxSqliteConnection.h"

#include <sqlite3.h>

#include "export/EvxExportError.h"
#include "export/TvxSqliteBatchValues.h"
#include "export/vxSqliteWriterVfs.h"

namespace morvane {

TvxSqliteConnection::TvxSqliteConnection(const std::string& path) : path_(path)
{
    const int rc = sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX,
                                   SqliteWriterVfs());
    if (rc != SQLITE_OK) {
        const std::string message = db_ ? sqlite3_errmsg(db_) : sqlite3_errstr(rc);
        sqlite3_close(db_);
        db_ = nullptr;
        throw EvxExportError("cannot create the database " + path + ": " + message);
    }
    sqlite3_extended_result_codes(db_, 1);
}

TvxSqliteConnection::~TvxSqliteConnection()
{
    if (db_)
        sqlite3_close_v2(db_);
}

void TvxSqliteConnection::Exec(const std::string& sql, std::string_view context)
{
    char* message = nullptr;
    if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &message) != SQLITE_OK) {
        const std::string text = message ? message : ErrorMessage();
        sqlite3_free(message);
        throw EvxExportError(path_ + ": " + std::string(context) + ": " + text);
    }
}

std::string TvxSqliteConnection::ErrorMessage() const
{
    return sqlite3_errmsg(db_);
}

void TvxSqliteConnection::CheckWrites()
{
    const int rc = sqlite3_file_control(db_, "main", SqliteWriterCheckOp, nullptr);
    if (rc != SQLITE_OK && rc != SQLITE_NOTFOUND) // NOTFOUND: written by the default VFS
        throw EvxExportError(path_ + ": cannot write the database: " + sqlite3_errstr(rc));
}

void TvxSqliteConnection::Close()
{
    if (db_ && sqlite3_close(db_) != SQLITE_OK)
        throw EvxExportError(path_ + ": cannot close the database: " + ErrorMessage());
    db_ = nullptr;
}

TvxSqliteStatement::TvxSqliteStatement(TvxSqliteConnection& db, const std::string& sql, std::string_view context)
    : db_(db), context_(context)
{
    check(sqlite3_prepare_v3(db.Handle(), sql.c_str(), static_cast<int>(sql.size()), SQLITE_PREPARE_PERSISTENT, &stmt_,
                             nullptr));
}

TvxSqliteStatement::~TvxSqliteStatement()
{
    sqlite3_finalize(stmt_);
}

void TvxSqliteStatement::check(int rc)
{
    if (rc != SQLITE_OK)
        throw EvxExportError(context_ + ": " + db_.ErrorMessage());
}

void TvxSqliteStatement::BindNull(int i)
{
    check(sqlite3_bind_null(stmt_, i));
}

void TvxSqliteStatement::BindInteger(int i, std::int64_t v)
{
    check(sqlite3_bind_int64(stmt_, i, v));
}

void TvxSqliteStatement::BindReal(int i, double v)
{
    check(sqlite3_bind_double(stmt_, i, v));
}

void TvxSqliteStatement::BindText(int i, std::string_view utf8)
{
    // A null pointer would bind NULL: an empty text stays a text.
    check(sqlite3_bind_text64(stmt_, i, utf8.data() ? utf8.data() : "", utf8.size(), SQLITE_STATIC, SQLITE_UTF8));
}

void TvxSqliteStatement::BindBlob(int i, std::string_view bytes)
{
    check(sqlite3_bind_blob64(stmt_, i, bytes.data() ? bytes.data() : "", bytes.size(), SQLITE_STATIC));
}

void TvxSqliteStatement::Bind(int i, const TvxSqliteValue& v)
{
    switch (v.kind) {
    case TvxSqliteValue::Kind::Null:
        check(sqlite3_bind_null(stmt_, i));
        return;
    case TvxSqliteValue::Kind::Integer:
        check(sqlite3_bind_int64(stmt_, i, v.integer));
        return;
    case TvxSqliteValue::Kind::Real:
        check(sqlite3_bind_double(stmt_, i, v.real));
        return;
    case TvxSqliteValue::Kind::Text:
        check(sqlite3_bind_text64(stmt_, i, v.data, v.size, SQLITE_STATIC, SQLITE_UTF8));
        return;
    case TvxSqliteValue::Kind::Blob:
        check(sqlite3_bind_blob64(stmt_, i, v.data, v.size, SQLITE_STATIC));
        return;
    }
}

int TvxSqliteStatement::Step()
{
    const int rc = sqlite3_step(stmt_);
    return (rc & 0xFF) == SQLITE_ROW || (rc & 0xFF) == SQLITE_DONE ? rc & 0xFF : rc;
}

void TvxSqliteStatement::Reset()
{
    sqlite3_reset(stmt_);
}

std::int64_t TvxSqliteStatement::ColumnInteger(int i) const
{
    return sqlite3_column_int64(stmt_, i);
}

std::string TvxSqliteStatement::ColumnText(int i) const
{
    const auto* text = sqlite3_column_text(stmt_, i);
    return text ? std::string(reinterpret_cast<const char*>(text),
                              static_cast<std::size_t>(sqlite3_column_bytes(stmt_, i)))
                : std::string();
}

} // namespace morvane
