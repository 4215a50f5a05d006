#pragma once
// PostgreSQL export: every table, with its structure (see vxPostgresSchema.h), into one schema
// of a server, all in one transaction: a failure leaves the database as it was. A table the
// schema holds already is refused unless `force`, which replaces it. Records go in through
// binary COPY a batch at a time; they are read, and put in COPY's form, on a second thread
// while the server adds the batch before. A batch the server refuses goes again in halves, so
// that only the records at fault are refused; a record whose key is blank or that of a record
// before (even one refused), or that
// breaks a check, is kept, as the dump's JSON gives its values, in _morvane_rejected with the
// reason. The primary keys, indexes and foreign keys are made after the records: a unique
// index the records break is made without UNIQUE, a rule they break holds for new records only
// (NOT VALID), each with a warning.

#include <memory>
#include <string>

#include "export/IvxExportTarget.h"

namespace morvane {

class TvxPostgresConnection;
struct TvxPostgresTableSchema;

class TvxPostgresTarget : public IvxExportTarget
{
public:
    // conninfo: libpq's connection string (or URI), never repeated in a message.
    TvxPostgresTarget(std::string conninfo, std::string schema, bool force);
    ~TvxPostgresTarget() override;

    void Begin(const std::vector<TvxExportTable>& tables, TvxExportResult& result) override;
    void WriteTable(std::size_t index, IvxRecordSource& records, TvxExportResult& result) override;
    void Finish(TvxExportResult& result) override;

private:
    void replaceTables(const std::vector<TvxExportTable>& tables);
    void reject(std::size_t table, std::uint64_t recordNo, const std::string& reason, const TvxRecord& record);

    std::string conninfo_;
    std::string schema_;
    bool force_;
    const std::vector<TvxExportTable>* tables_ = nullptr;
    std::vector<TvxPostgresTableSchema> schemas_;
    std::unique_ptr<TvxPostgresConnection> db_;
    bool rejectedTable_ = false; // _morvane_rejected is there
};

} // namespace morvane
