#pragma once
// Helpers of the export tests: a database connected to a directory through an engine of its
// own, the values our reader gives in the forms an export must hold, a SQLite database read
// back, and a CSV reader of RFC 4180 files.

#include "db/cpDatabase.h"
#include "db/vxValueDisplay.h"
#include "model/vxCodePage.h"
#include "model/vxFieldTypes.h"

#include <algorithm>
#include <memory>
#include <sqlite3.h>
#include <stdexcept>
#include <string>
#include <vector>

#include "export/TvxExporter.h"
#include "support/TempDir.h"

namespace morvane::test {

using TvxRows = std::vector<std::vector<std::string>>;

struct SampleSet
{
    const char* name;
    std::vector<std::string> passwords;
};

inline const std::vector<SampleSet> sampleSets = {
    {"pd-areas", {}}, {"pd-fields", {}}, {"pd-joins", {}}, {"rparadox-extdata", {}}, {"pd-encrypt", {"123"}}};

// The name an export gives the table.
inline std::string tableName(const TvxTableDesc& desc)
{
    return IsUtf8(desc.TableName()) ? desc.TableName() : CodePageToUtf8(desc.TableName(), desc.CodePage());
}

inline TvxRows sorted(TvxRows rows)
{
    std::sort(rows.begin(), rows.end());
    return rows;
}

// Records from a list, for the writer.
class RecordList : public IvxRecordSource
{
public:
    explicit RecordList(std::vector<TvxRecord> records) : records_(std::move(records)) {}
    bool Next(TvxRecord& record) override
    {
        if (next_ == records_.size())
            return false;
        record = records_[next_++];
        return true;
    }

private:
    std::vector<TvxRecord> records_;
    std::size_t next_ = 0;
};

// A database connected to a directory, with the passwords in its session.
class ExportSource
{
public:
    explicit ExportSource(const std::string& directory, const std::vector<std::string>& passwords = {})
        : engine_(CreateParadoxEngine(config_.file("aliases.conf"))), db_(*engine_)
    {
        for (const auto& p : passwords)
            db_.Session().AddPassword(p);
        db_.OpenByPath(directory);
    }
    TvxDatabase& db() { return db_; }

    TvxExportResult Export(TvxExportFormat format, const std::string& output, std::vector<std::string> tables = {},
                           bool force = false)
    {
        TvxExportOptions options;
        options.format = format;
        options.output = output;
        options.tables = std::move(tables);
        options.force = force;
        return ExportDatabase(db_, options);
    }

    // Every record of a table as our reader gives it (a damaged value blank), each value in
    // the form form(value, field type, code page) gives.
    template <class Form> TvxRows Records(const TvxTableDesc& desc, Form form)
    {
        auto source = db_.OpenRecords(db_.EngineTableName(desc.TableList()));
        TvxRows rows;
        TvxRecord record;
        for (;;) {
            try {
                if (!source->Next(record))
                    break;
            } catch (const EvxEngineError&) {
                if (!source->Resumable())
                    throw;
            }
            std::vector<std::string> row;
            for (std::size_t i = 0; i < desc.Fields().size(); ++i)
                row.push_back(form(record[i], desc.Fields()[i].type(), desc.CodePage()));
            rows.push_back(std::move(row));
        }
        return rows;
    }

private:
    TempDir config_;
    std::unique_ptr<IvxEngine> engine_;
    TvxDatabase db_;
};

inline bool IsBinaryField(int type)
{
    return type == fldFmtMemo || type == fldBytes || type == fldBinary || type == fldOle || type == fldGraphic;
}

// A text as exports hold it: NUL bytes at the end dropped, the others U+001A.
inline std::string ExportedText(const TvxFieldValue& v, int codePage)
{
    std::string text = CodePageToUtf8(v.text(), codePage);
    text.erase(text.find_last_not_of('\0') + 1);
    std::replace(text.begin(), text.end(), '\0', '\x1A');
    return text;
}

// What a SQLite column holds, as SqliteRows gives it back: texts in UTF-8, binary values'
// bytes, Logical 1/0, the rest in the dump's forms.
inline std::string SqliteForm(const TvxFieldValue& v, int type, int codePage)
{
    if (v.isBlank())
        return "<null>";
    if (IsBinaryField(type))
        return v.text();
    if (IsTextFieldType(type))
        return ExportedText(v, codePage);
    if (type == fldLogical)
        return v.logical() ? "1" : "0";
    return ValueDisplayText(v, type, codePage);
}

// What a CSV cell holds: texts in UTF-8 as they are, binary values in base64, the rest as the
// dump prints them.
inline std::string CsvForm(const TvxFieldValue& v, int type, int codePage)
{
    if (IsBinaryField(type))
        return ValueBase64(v.text());
    if (IsTextFieldType(type) && !v.isBlank())
        return ExportedText(v, codePage);
    return ValueDisplayText(v, type, codePage);
}

class SqliteFile
{
public:
    explicit SqliteFile(const std::string& path)
    {
        if (sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK)
            throw std::runtime_error("cannot open " + path);
    }
    ~SqliteFile() { sqlite3_close_v2(db_); }
    SqliteFile(const SqliteFile&) = delete;
    SqliteFile& operator=(const SqliteFile&) = delete;

    // Every row: NULL "<null>", integers and reals as their texts (reals in the shortest form
    // that reads back), texts and blobs as their bytes. Throws on an SQL error.
    TvxRows Rows(const std::string& sql)
    {
        sqlite3_stmt* stmt = nullptr;
        if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &stmt, nullptr) != SQLITE_OK)
            throw std::runtime_error(sql + ": " + sqlite3_errmsg(db_));
        TvxRows rows;
        int rc = 0;
        while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
            std::vector<std::string> row;
            for (int i = 0; i < sqlite3_column_count(stmt); ++i)
                row.push_back(column(stmt, i));
            rows.push_back(std::move(row));
        }
        sqlite3_finalize(stmt);
        if (rc != SQLITE_DONE)
            throw std::runtime_error(sql + ": " + sqlite3_errmsg(db_));
        return rows;
    }
    // The one value of a query, "" when it gives no row.
    std::string Value(const std::string& sql)
    {
        const TvxRows rows = Rows(sql);
        return rows.empty() || rows[0].empty() ? std::string() : rows[0][0];
    }
    // SQLite's primary result code of running sql (SQLITE_OK when it ran).
    int Run(const std::string& sql) { return sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, nullptr) & 0xFF; }
    std::string Error() const { return sqlite3_errmsg(db_); }

private:
    static std::string column(sqlite3_stmt* stmt, int i)
    {
        switch (sqlite3_column_type(stmt, i)) {
        case SQLITE_NULL:
            return "<null>";
        case SQLITE_INTEGER:
            return std::to_string(sqlite3_column_int64(stmt, i));
        case SQLITE_FLOAT:
            return ValueNumberText(sqlite3_column_double(stmt, i));
        default: {
            const auto* p = static_cast<const char*>(sqlite3_column_blob(stmt, i));
            return p ? std::string(p, static_cast<std::size_t>(sqlite3_column_bytes(stmt, i))) : std::string();
        }
        }
    }

    sqlite3* db_ = nullptr;
};

// The records of an RFC 4180 text: cells split at commas and CRLF, quoted cells unquoted.
// Throws on a quote inside an unquoted cell, an unterminated quote or a bare LF.
inline TvxRows ReadCsv(const std::string& text)
{
    TvxRows rows;
    std::vector<std::string> row;
    std::string cell;
    bool quoted = false;
    std::size_t i = 0;
    while (i < text.size()) {
        if (text[i] == '"' && cell.empty() && !quoted) {
            quoted = true;
            for (++i;; ++i) {
                if (i >= text.size())
                    throw std::runtime_error("unterminated quote");
                if (text[i] == '"' && (i + 1 >= text.size() || text[i + 1] != '"'))
                    break;
                if (text[i] == '"')
                    ++i;
                cell += text[i];
            }
            ++i;
        }
        if (i >= text.size())
            throw std::runtime_error("no line end after the last record");
        if (text[i] == ',') {
            row.push_back(std::move(cell));
            cell.clear();
            quoted = false;
            ++i;
        } else if (text.compare(i, 2, "\r\n") == 0) {
            row.push_back(std::move(cell));
            cell.clear();
            quoted = false;
            rows.push_back(std::move(row));
            row.clear();
            i += 2;
        } else if (quoted || text[i] == '"' || text[i] == '\n' || text[i] == '\r') {
            throw std::runtime_error("text after a quoted cell, or a quote or line break in an unquoted one");
        } else {
            cell += text[i++];
        }
    }
    return rows;
}

} // namespace morvane::test
