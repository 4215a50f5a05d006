#pragma once
// SQLite export: one database file holding every table with its structure (see vxSqliteSchema.h).
// Records go in a batch at a time, each batch through one INSERT that reads it from a virtual
// table (TvxSqliteBatchTable), in one transaction per table; they are read, and their values
// converted, on a second thread while SQLite adds the batch before; SQLite's pages go into the
// file on a third (vxSqliteWriterVfs.h). A batch SQLite refuses goes again in halves, so that
// only the records at fault are refused. A record SQLite refuses (a required field blank, a
// value outside the check's bounds, a key that is there already) is kept, as the dump's JSON
// gives its values, in _morvane_rejected with the reason; the validity checks with their
// pictures, defaults and lookup tables are listed in _morvane_checks. Indexes are built after
// the records; a unique index the records break is built without UNIQUE. Records that refer to
// a master record that is missing stay, each table's count in the warnings.

#include <memory>
#include <string>

#include "export/IvxExportTarget.h"

namespace morvane {

class TvxExportOutput;
class TvxSqliteConnection;
class TvxSqliteStatement;
struct TvxSqliteTableSchema;

class TvxSqliteTarget : public IvxExportTarget
{
public:
    TvxSqliteTarget(std::string path, bool force);
    ~TvxSqliteTarget() override;

    void Begin(const std::vector<TvxExportTable>& tables, TvxExportResult& result) override;
    void WriteTable(std::size_t index, IvxRecordSource& records, TvxExportResult& result) override;
    void Finish(TvxExportResult& result) override;

private:
    void listChecks();
    void reject(std::size_t table, std::uint64_t recordNo, const std::string& reason, const TvxRecord& record);
    void buildIndexes(TvxExportResult& result);
    void checkForeignKeys(TvxExportResult& result);

    std::string path_;
    bool force_;
    const std::vector<TvxExportTable>* tables_ = nullptr;
    std::vector<TvxSqliteTableSchema> schemas_;
    std::unique_ptr<TvxExportOutput> output_;
    std::unique_ptr<TvxSqliteConnection> db_;
    std::unique_ptr<TvxSqliteStatement> rejectInsert_;
};

} // namespace morvane
