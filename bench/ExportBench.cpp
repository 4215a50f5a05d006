// Exporting a table of 120,000 records of mixed types (Alpha, Short, Long, Number, Money,
// Date, Time, Timestamp, Logical, BCD, Bytes, Autoincrement: the table of RecordsBench) to
// SQLite and to CSV, against reading every record, the floor; and into PostgreSQL, against the
// server's own COPY of the same rows from a CSV file (BM_PostgresCopyCsv), the floor there. The
// table is written with our writer into a temporary folder when the program starts. The
// database exports read the records on threads of their own, so every benchmark here is timed
// by the clock, not by the CPU time of the benchmark's thread. The PostgreSQL benchmarks need a
// server: MORVANE_BENCH_POSTGRES holds its libpq connection string, for a user that may create
// schema morvane_bench and have the server write and read a file of its /tmp
// (tools/test-postgres.sh starts one).
#include "db/cpDatabase.h"
#include "db/paradox/ParadoxByteSource.h"
#include "db/paradox/ParadoxRecordReader.h"
#include "db/paradox/ParadoxWriter.h"
#include "model/vxFieldTypes.h"

#include <benchmark/benchmark.h>
#include <cstdlib>
#include <filesystem>
#include <libpq-fe.h>
#include <string>
#include <unistd.h>

#include "BenchRecords.h"
#include "export/TvxExporter.h"

namespace {

namespace fs = std::filesystem;
using namespace morvane;

constexpr int RecordCount = 120000;

TvxFieldDesc field(const char* name, int number, int type, int units1 = 0, int units2 = 0, int length = 4)
{
    TvxFieldDesc f;
    f.setFieldNumber(number);
    f.setName(name);
    f.setType(type);
    f.setUnits1(units1);
    f.setUnits2(units2);
    f.setLength(length);
    return f;
}

// The records of the table, made as they are read.
class TvxMixedRecords : public IvxRecordSource
{
public:
    bool Next(TvxRecord& rec) override
    {
        if (r_ == RecordCount)
            return false;
        const int r = r_++;
        rec.resize(12);
        rec[0] = TvxFieldValue::Bytes("Customer " + std::to_string(r));
        rec[1] = r % 7 ? TvxFieldValue::Integer(r % 30000 - 15000) : TvxFieldValue();
        rec[2] = TvxFieldValue::Integer(r * 37L - 1000000);
        rec[3] = TvxFieldValue::Float(r * 0.25 - 777.125);
        rec[4] = TvxFieldValue::Float(r * 1.01);
        rec[5] = TvxFieldValue::Date(730000 + r % 5000);
        rec[6] = TvxFieldValue::Time((r * 997) % 86400000);
        rec[7] = TvxFieldValue::Timestamp(63716202001000.0 + r * 1000.0);
        rec[8] = r % 3 == 0 ? TvxFieldValue() : TvxFieldValue::Logical(r % 2 != 0);
        const long hundredths = r * 101L;
        std::string cents = std::to_string(hundredths % 100);
        rec[9] = TvxFieldValue::Bcd(std::to_string(hundredths / 100) + (cents.size() == 1 ? ".0" : ".") + cents);
        std::string tag(8, '\0');
        for (int i = 0; i < 8; ++i)
            tag[static_cast<std::size_t>(i)] = static_cast<char>(r >> i);
        tag[0] = 1;
        rec[10] = TvxFieldValue::Bytes(tag);
        rec[11] = TvxFieldValue::Integer(r + 1);
        return true;
    }

private:
    int r_ = 0;
};

class TvxBenchTable
{
public:
    TvxBenchTable()
    {
        std::string tmpl = (fs::temp_directory_path() / "morvane-export-XXXXXX").string();
        if (!::mkdtemp(tmpl.data()))
            return;
        dir_ = tmpl;
        fs::create_directory(dir_ / "tables");
        TvxTableDesc desc;
        desc.SetFields(
            {field("Name", 1, fldAlpha, 20, 0, 20), field("Qty", 2, fldShort, 0, 0, 2), field("Count", 3, fldLong),
             field("Price", 4, fldNumber, 0, 0, 8), field("Amount", 5, fldMoney, 0, 0, 8), field("Day", 6, fldDate),
             field("At", 7, fldTime), field("Stamp", 8, fldTimestamp, 0, 0, 8), field("Paid", 9, fldLogical, 0, 0, 1),
             field("Exact", 10, fldBcd, 32, 2, 17), field("Tag", 11, fldBytes, 8, 0, 8), field("Id", 12, fldAutoInc)});
        desc.CursorProps().setTableLevel(7);
        desc.CursorProps().setLanguageDriver("ascii");
        desc.CursorProps().setCodePage(1252);
        TvxMixedRecords records;
        try {
            ParadoxWriteTable(desc, records, (dir_ / "tables").string(), "MIXED");
            path_ = (dir_ / "tables" / "MIXED.DB").string();
        } catch (const std::exception&) {
        }
    }
    ~TvxBenchTable()
    {
        std::error_code ec;
        if (!dir_.empty())
            fs::remove_all(dir_, ec);
    }
    const std::string& path() const { return path_; }
    std::string tables() const { return (dir_ / "tables").string(); }
    std::string output(const char* name) const { return (dir_ / name).string(); }
    std::string config() const { return (dir_ / "aliases.conf").string(); }

private:
    fs::path dir_;
    std::string path_;
};

TvxBenchTable& benchTable()
{
    static TvxBenchTable table;
    return table;
}

void BM_ReadAllRecords(benchmark::State& state)
{
    bench::ReadAllRecords(state, benchTable().path());
}
BENCHMARK(BM_ReadAllRecords)->Unit(benchmark::kMillisecond)->UseRealTime();

void exportBench(benchmark::State& state, TvxExportFormat format, std::string output)
{
    TvxBenchTable& table = benchTable();
    if (table.path().empty()) {
        state.SkipWithError("the table could not be written");
        return;
    }
    auto engine = CreateParadoxEngine(table.config());
    TvxDatabase db(*engine);
    db.OpenByPath(table.tables());
    TvxExportOptions options;
    options.format = format;
    options.output = format == TvxExportFormat::Postgres ? output : table.output(output.c_str());
    options.schema = "morvane_bench";
    options.force = true;
    std::uint64_t records = 0;
    for (auto _ : state) {
        const TvxExportResult result = ExportDatabase(db, options);
        records += result.tables.at(0).records;
    }
    if (records != static_cast<std::uint64_t>(state.iterations()) * RecordCount)
        state.SkipWithError("records were lost");
    state.counters["records_per_second"] =
        benchmark::Counter(static_cast<double>(records), benchmark::Counter::kIsRate);
}

void BM_ExportSqlite(benchmark::State& state)
{
    exportBench(state, TvxExportFormat::Sqlite, "mixed.sqlite");
}
BENCHMARK(BM_ExportSqlite)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ExportCsv(benchmark::State& state)
{
    exportBench(state, TvxExportFormat::Csv, "csv");
}
BENCHMARK(BM_ExportCsv)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

namespace {

const char* postgresServer()
{
    return std::getenv("MORVANE_BENCH_POSTGRES");
}

void BM_ExportPostgres(benchmark::State& state)
{
    if (!postgresServer()) {
        state.SkipWithError("MORVANE_BENCH_POSTGRES is not set: no PostgreSQL server to export to");
        return;
    }
    exportBench(state, TvxExportFormat::Postgres, postgresServer());
}
BENCHMARK(BM_ExportPostgres)->Unit(benchmark::kMillisecond)->UseRealTime();

// The server loads the rows BM_ExportPostgres left, written by it to a CSV file, into a new
// table of the same columns, in one transaction.
void BM_PostgresCopyCsv(benchmark::State& state)
{
    if (!postgresServer()) {
        state.SkipWithError("MORVANE_BENCH_POSTGRES is not set: no PostgreSQL server to copy into");
        return;
    }
    PGconn* conn = PQconnectdb(postgresServer());
    const std::string file = "'/tmp/morvane-bench-" + std::to_string(::getpid()) + ".csv'";
    const auto run = [&](const std::string& sql) {
        PGresult* res = PQexec(conn, sql.c_str());
        const bool ok = PQresultStatus(res) == PGRES_COMMAND_OK || PQresultStatus(res) == PGRES_TUPLES_OK;
        if (!ok)
            state.SkipWithError((sql + ": " + PQerrorMessage(conn)).c_str());
        PQclear(res);
        return ok;
    };
    if (PQstatus(conn) == CONNECTION_OK && run("SET client_min_messages = warning") &&
        run("COPY morvane_bench.\"MIXED\" TO " + file + " (FORMAT csv)")) {
        for (auto _ : state) {
            if (!run("BEGIN; CREATE TABLE morvane_bench.copy_floor (LIKE morvane_bench.\"MIXED\"); COPY"
                     " morvane_bench.copy_floor FROM " +
                     file + " (FORMAT csv); COMMIT"))
                break;
            state.PauseTiming();
            run("DROP TABLE morvane_bench.copy_floor");
            state.ResumeTiming();
        }
        state.counters["records_per_second"] =
            benchmark::Counter(static_cast<double>(state.iterations()) * RecordCount, benchmark::Counter::kIsRate);
        run("COPY (SELECT 1 WHERE false) TO " + file); // the server cannot remove it; it is left empty
    } else if (PQstatus(conn) != CONNECTION_OK) {
        state.SkipWithError(PQerrorMessage(conn));
    }
    PQfinish(conn);
}
BENCHMARK(BM_PostgresCopyCsv)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
