#include "export/TvxSqliteBatchTable.h"

#include <new>
#include <sqlite3.h>

#include "export/EvxExportError.h"
#include "export/TvxSqliteBatchValues.h"

namespace morvane {

struct TvxSqliteBatchTable::Rows
{
    std::size_t columns = 0;
    const TvxSqliteValue* values = nullptr; // null: the table is empty (its object is gone)
    std::size_t count = 0;
};

namespace {

using Rows = TvxSqliteBatchTable::Rows;

struct TvxBatchVtab
{
    sqlite3_vtab base{};
    Rows* rows = nullptr;
};

struct TvxBatchCursor
{
    sqlite3_vtab_cursor base{};
    Rows* rows = nullptr;
    std::size_t row = 0;
};

int connect(sqlite3* db, void* aux, int, const char* const*, sqlite3_vtab** out, char**)
{
    auto* rows = static_cast<Rows*>(aux);
    std::string sql = "CREATE TABLE x(";
    for (std::size_t i = 0; i < rows->columns; ++i)
        sql += (i ? ", c" : "c") + std::to_string(i + 1);
    sql += ")";
    if (const int rc = sqlite3_declare_vtab(db, sql.c_str()); rc != SQLITE_OK)
        return rc;
    auto* vtab = new (std::nothrow) TvxBatchVtab;
    if (!vtab)
        return SQLITE_NOMEM;
    vtab->rows = rows;
    *out = &vtab->base;
    return SQLITE_OK;
}

int disconnect(sqlite3_vtab* vtab)
{
    delete reinterpret_cast<TvxBatchVtab*>(vtab);
    return SQLITE_OK;
}

int bestIndex(sqlite3_vtab*, sqlite3_index_info* info)
{
    info->estimatedCost = 1000;
    return SQLITE_OK;
}

int open(sqlite3_vtab* vtab, sqlite3_vtab_cursor** out)
{
    auto* cursor = new (std::nothrow) TvxBatchCursor;
    if (!cursor)
        return SQLITE_NOMEM;
    cursor->rows = reinterpret_cast<TvxBatchVtab*>(vtab)->rows;
    *out = &cursor->base;
    return SQLITE_OK;
}

int close(sqlite3_vtab_cursor* cursor)
{
    delete reinterpret_cast<TvxBatchCursor*>(cursor);
    return SQLITE_OK;
}

int filter(sqlite3_vtab_cursor* cursor, int, const char*, int, sqlite3_value**)
{
    reinterpret_cast<TvxBatchCursor*>(cursor)->row = 0;
    return SQLITE_OK;
}

int next(sqlite3_vtab_cursor* cursor)
{
    auto* c = reinterpret_cast<TvxBatchCursor*>(cursor);
    ++c->row;
    // The values were written on another thread: those of a row further on are fetched now.
    constexpr std::size_t Ahead = 8;
    if (c->rows->values && c->row + Ahead < c->rows->count) {
        const TvxSqliteValue* ahead = c->rows->values + (c->row + Ahead) * c->rows->columns;
        const auto* bytes = reinterpret_cast<const char*>(ahead);
        for (std::size_t i = 0; i < c->rows->columns * sizeof(TvxSqliteValue); i += 64)
            __builtin_prefetch(bytes + i);
    }
    return SQLITE_OK;
}

int eof(sqlite3_vtab_cursor* cursor)
{
    const auto* c = reinterpret_cast<TvxBatchCursor*>(cursor);
    return !c->rows->values || c->row >= c->rows->count;
}

int column(sqlite3_vtab_cursor* cursor, sqlite3_context* ctx, int i)
{
    const auto* c = reinterpret_cast<TvxBatchCursor*>(cursor);
    const TvxSqliteValue& v = c->rows->values[c->row * c->rows->columns + static_cast<std::size_t>(i)];
    switch (v.kind) {
    case TvxSqliteValue::Kind::Null:
        sqlite3_result_null(ctx);
        break;
    case TvxSqliteValue::Kind::Integer:
        sqlite3_result_int64(ctx, v.integer);
        break;
    case TvxSqliteValue::Kind::Real:
        sqlite3_result_double(ctx, v.real);
        break;
    case TvxSqliteValue::Kind::Text:
        sqlite3_result_text64(ctx, v.data, v.size, SQLITE_STATIC, SQLITE_UTF8);
        break;
    case TvxSqliteValue::Kind::Blob:
        sqlite3_result_blob64(ctx, v.data, v.size, SQLITE_STATIC);
        break;
    }
    return SQLITE_OK;
}

int rowid(sqlite3_vtab_cursor* cursor, sqlite3_int64* out)
{
    *out = static_cast<sqlite3_int64>(reinterpret_cast<TvxBatchCursor*>(cursor)->row);
    return SQLITE_OK;
}

// Eponymous only (no xCreate): the table exists under the module's name, with no CREATE
// VIRTUAL TABLE; read only.
sqlite3_module makeModule()
{
    sqlite3_module m{};
    m.iVersion = 1;
    m.xConnect = connect;
    m.xBestIndex = bestIndex;
    m.xDisconnect = disconnect;
    m.xOpen = open;
    m.xClose = close;
    m.xFilter = filter;
    m.xNext = next;
    m.xEof = eof;
    m.xColumn = column;
    m.xRowid = rowid;
    return m;
}

const sqlite3_module batchModule = makeModule();

} // namespace

TvxSqliteBatchTable::TvxSqliteBatchTable(sqlite3* db, const std::string& name, std::size_t columns) : rows_(new Rows)
{
    rows_->columns = columns;
    Rows* rows = rows_;
    const int rc =
        sqlite3_create_module_v2(db, name.c_str(), &batchModule, rows, [](void* p) { delete static_cast<Rows*>(p); });
    if (rc != SQLITE_OK) // the connection has called the destructor already
        throw EvxExportError("cannot add the records' source " + name + ": " + sqlite3_errstr(rc));
}

TvxSqliteBatchTable::~TvxSqliteBatchTable()
{
    rows_->values = nullptr;
    rows_->count = 0;
}

void TvxSqliteBatchTable::SetRows(const TvxSqliteValue* values, std::size_t count)
{
    rows_->values = values;
    rows_->count = count;
}

} // namespace morvane
