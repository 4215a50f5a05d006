// The update server on a keyed table of 120,000 records (Long key, two Alpha fields, a
// Number): applying an update script that changes the size of one Alpha field and adds a
// field, against copying the same table unchanged through the same reader and writer; and an
// update that sets every record aside, with the process's peak memory. The
// table is written with our writer into a temporary folder when the program starts.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <unistd.h>

#include "db/paradox/ParadoxWriter.h"
#include "morvane/update_server.h"
#include "script/cpvxScriptLoader.h"
#include "script/vxUpdateScriptFile.h"
#include "server/TvxParadoxTableReader.h"
#include "server/TvxUpdateServer.h"
#include "server/vxRecordSources.h"

namespace {

namespace fs = std::filesystem;
using namespace morvane;

constexpr int RecordCount = 120000;

TvxFieldDesc Field(const char* name, int number, int type, int size, int offset)
{
    TvxFieldDesc f;
    f.setName(name);
    f.setFieldNumber(number);
    f.setType(type);
    f.setUnits1(type == 257 ? size : 0);
    f.setLength(size);
    f.setOffset(offset);
    return f;
}

// Records made one at a time, so that memory does not hold the table.
class TvxMadeRecords : public IvxRecordSource
{
public:
    bool Next(TvxRecord& r) override
    {
        if (next_ >= RecordCount)
            return false;
        r.resize(4);
        r[0] = TvxFieldValue::Integer(next_ * 7 + 1);
        r[1] = TvxFieldValue::Bytes("Customer number " + std::to_string(next_));
        r[2] = TvxFieldValue::Bytes(next_ % 3 ? "Porto Alegre" : "Sao Paulo");
        r[3] = TvxFieldValue::Float(next_ * 1.25);
        ++next_;
        return true;
    }

private:
    int next_ = 0;
};

class TvxBenchScript : public TvxDBScriptLoader
{
public:
    void Add(std::uint8_t kind, std::initializer_list<TvxValue> values)
    {
        Commands().push_back(std::make_unique<TvxCommand>(kind, values));
    }
};

class TvxBenchData
{
public:
    TvxBenchData()
    {
        std::string pattern = (fs::temp_directory_path() / "morvane-serverbench-XXXXXX").string();
        if (!::mkdtemp(pattern.data()))
            std::abort();
        root = pattern;
        source = root / "source";
        fs::create_directories(source);
        TvxTableDesc d;
        d.SetAllNames("CUSTOMER");
        d.SetExtension("DB");
        d.SetTableType("PARADOX");
        d.CursorProps().setTableLevel(5);
        d.CursorProps().setCodePage(1252);
        d.CursorProps().setLanguageDriver("ANSIINTL");
        d.CursorProps().setBlockSizeKb(4);
        d.SetFields({Field("ID", 1, 267, 4, 0), Field("NAME", 2, 257, 30, 4), Field("CITY", 3, 257, 20, 34),
                     Field("AMOUNT", 4, 258, 8, 54)});
        TvxIndexDesc key;
        key.setPrimary(true);
        key.setUnique(true);
        key.setMaintained(true);
        key.setKeyFieldCount(1);
        key.setKeyField(0, 1);
        d.SetIndexes({key});
        TvxMadeRecords records;
        ParadoxWriteTable(d, records, source.string(), "CUSTOMER");

        // Add table, NAME from 30 to 24 characters (every value fits), a new Long field.
        TvxBenchScript script;
        script.Add(ckAddTable, {"CUST2", "CUSTOMER.DB"});
        script.Add(ckChangeField, {"CUST2", "NAME", 2, 257, 30, 30, "NAME", 2, 257, 24, 24});
        script.Add(ckCreateField, {"CUST2", "SCORE", 5, 267, 0, 4, "0"});
        script_ = (root / "update.vxusp").string();
        SaveUpdateScript(script_, "Morvane", script);

        // NAME to 10 characters: every value is cut, every record goes to the problem table.
        TvxBenchScript cutting;
        cutting.Add(ckAddTable, {"CUST2", "CUSTOMER.DB"});
        cutting.Add(ckChangeField, {"CUST2", "NAME", 2, 257, 30, 30, "NAME", 2, 257, 10, 10});
        cuttingScript = (root / "cutting.vxusp").string();
        SaveUpdateScript(cuttingScript, "Morvane", cutting);
    }
    ~TvxBenchData()
    {
        std::error_code ec;
        fs::remove_all(root, ec);
    }

    fs::path root;
    fs::path source;
    std::string script_;
    std::string cuttingScript;
};

TvxBenchData& Data()
{
    static TvxBenchData data;
    return data;
}

// Times run() once per iteration, out removed after each outside the timing; counts the records.
template <typename F>
void RunEachIteration(benchmark::State& state, const fs::path& out, F run)
{
    for (auto _ : state) {
        run();
        state.PauseTiming();
        fs::remove_all(out);
        state.ResumeTiming();
    }
    state.counters["records_per_second"] =
        benchmark::Counter(static_cast<double>(RecordCount) * static_cast<double>(state.iterations()),
                           benchmark::Counter::kIsRate);
}

void BM_CopyTable(benchmark::State& state)
{
    TvxBenchData& data = Data();
    TvxParadoxTableReader reader(data.source.string(), {});
    const TvxTableDesc desc = reader.ReadStructure("CUSTOMER.DB");
    const fs::path out = data.root / "copy";
    RunEachIteration(state, out, [&] {
        fs::create_directories(out);
        std::unique_ptr<IvxRecordSource> records = reader.OpenRecords("CUSTOMER.DB");
        ParadoxWriteTable(desc, *records, out.string(), "CUST2");
    });
}
BENCHMARK(BM_CopyTable)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ApplyUpdateScript(benchmark::State& state)
{
    TvxBenchData& data = Data();
    const fs::path out = data.root / "update";
    RunEachIteration(state, out, [&] {
        TvxUpdateServer server;
        server.SetSource(data.source.string());
        server.SetNewPath(out.string());
        server.SetScriptFile(data.script_);
        if (server.Run() != 0)
            state.SkipWithError(server.Report().message.c_str());
    });
}
BENCHMARK(BM_ApplyUpdateScript)->Unit(benchmark::kMillisecond)->UseRealTime();

// An update that sets every record aside (and writes them to the problem table as well):
// peak_mb, the most memory the process held during the runs (from the start of the first).
void BM_ApplyUpdateSettingRecordsAside(benchmark::State& state)
{
    TvxBenchData& data = Data();
    const fs::path out = data.root / "update";
    std::ofstream("/proc/self/clear_refs") << "5"; // the peak of the process starts again here
    std::int64_t problems = 0;
    RunEachIteration(state, out, [&] {
        TvxUpdateServer server;
        server.SetSource(data.source.string());
        server.SetNewPath(out.string());
        server.SetScriptFile(data.cuttingScript);
        server.Run();
        problems = server.Report().TotalProblemRecords();
    });
    if (problems != RecordCount)
        state.SkipWithError("not every record was set aside");
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0)
            state.counters["peak_mb"] = std::stod(line.substr(6)) / 1024;
}
BENCHMARK(BM_ApplyUpdateSettingRecordsAside)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same run through the C interface of libmorvane-server, as an application makes it.
void BM_ApplyUpdateScriptThroughLibrary(benchmark::State& state)
{
    TvxBenchData& data = Data();
    const fs::path out = data.root / "update";
    RunEachIteration(state, out, [&] {
        morvane_update_server* server = morvane_server_create();
        morvane_server_set_source(server, data.source.string().c_str());
        morvane_server_set_new_path(server, out.string().c_str());
        morvane_server_set_script_file(server, data.script_.c_str());
        if (morvane_server_run(server) != 0)
            state.SkipWithError(morvane_server_message(server));
        morvane_server_destroy(server);
    });
}
BENCHMARK(BM_ApplyUpdateScriptThroughLibrary)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
