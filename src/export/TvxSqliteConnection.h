#pragma once
// A SQLite database opened for writing, and its prepared statements; failures are
// EvxExportError carrying SQLite's message and what was being done.

#include <cstdint>
#include <string>
#include <string_view>

struct sqlite3;
struct sqlite3_stmt;

namespace morvane {

struct TvxSqliteValue;

class TvxSqliteConnection
{
public:
    // Opens (creating) the database file, written on a thread of its own (vxSqliteWriterVfs.h).
    explicit TvxSqliteConnection(const std::string& path);
    ~TvxSqliteConnection();
    TvxSqliteConnection(const TvxSqliteConnection&) = delete;
    TvxSqliteConnection& operator=(const TvxSqliteConnection&) = delete;

    sqlite3* Handle() const { return db_; }
    // Runs every statement of sql; context names the work in the error.
    void Exec(const std::string& sql, std::string_view context);
    std::string ErrorMessage() const;
    // Waits until what SQLite has written is in the file; a write that failed throws.
    void CheckWrites();
    // Closes the database; a failure to close throws.
    void Close();

private:
    std::string path_;
    sqlite3* db_ = nullptr;
};

class TvxSqliteStatement
{
public:
    TvxSqliteStatement(TvxSqliteConnection& db, const std::string& sql, std::string_view context);
    ~TvxSqliteStatement();
    TvxSqliteStatement(const TvxSqliteStatement&) = delete;
    TvxSqliteStatement& operator=(const TvxSqliteStatement&) = delete;

    // Parameters are 1-based. Texts and blobs are not copied: they must stay unchanged until
    // the statement is reset.
    void BindNull(int i);
    void BindInteger(int i, std::int64_t v);
    void BindReal(int i, double v);
    void BindText(int i, std::string_view utf8);
    void BindBlob(int i, std::string_view bytes);
    void Bind(int i, const TvxSqliteValue& v);
    // SQLITE_ROW, SQLITE_DONE or SQLite's result code of the failure (the statement must then
    // be reset before it is run again).
    int Step();
    void Reset();
    // Of the current row.
    std::int64_t ColumnInteger(int i) const;
    std::string ColumnText(int i) const;

private:
    void check(int rc);

    TvxSqliteConnection& db_;
    sqlite3_stmt* stmt_ = nullptr;
    std::string context_;
};

} // namespace morvane
