// Connecting to a directory of 1,000 tables (keys, secondary indexes, .VAL files) through
// TvxDatabase, against opening the same .DB headers with pxlib.
#include <benchmark/benchmark.h>

#include <cctype>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include <unistd.h>

extern "C" {
#include <paradox.h>
}

#include "db/IvxDataSetList.h"
#include "db/cpDatabase.h"
#include "model/clvxTableDesc.h"

namespace {

namespace fs = std::filesystem;
using namespace morvane;

constexpr int TableCount = 1000;

// Holds what the connection hands over, as the table list box would.
class TvxBenchList : public IvxDataSetList
{
public:
    void SetDatabaseHandle(IvxEngineDatabase*) override {}
    void ReplaceItems(TvxTableItems newItems) override { items = std::move(newItems); }
    void ClearItems() override { items.clear(); }
    TvxTableItems items;
};

std::string upper(std::string s)
{
    for (auto& c : s)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

// 1,000 tables made by copying sample tables with their companion files under new names.
class TvxBenchDirectory
{
public:
    TvxBenchDirectory()
    {
        std::string tmpl = (fs::temp_directory_path() / "morvane-connect-XXXXXX").string();
        if (!::mkdtemp(tmpl.data()))
            return;
        path_ = tmpl;
        const fs::path joins = fs::path(MORVANE_SAMPLES_DIR) / "pd-joins";
        const std::vector<std::string> models{"C", "multiple", "fk1", "primary"};
        for (int i = 0; i < TableCount; ++i) {
            const std::string& model = models[static_cast<std::size_t>(i) % models.size()];
            char name[16];
            std::snprintf(name, sizeof name, "T%04d", i);
            for (const auto& entry : fs::directory_iterator(joins)) {
                const std::string stem = entry.path().stem().string();
                if (upper(stem) != upper(model))
                    continue;
                fs::copy_file(entry.path(), path_ / (name + upper(entry.path().extension().string())));
            }
        }
    }
    ~TvxBenchDirectory()
    {
        std::error_code ec;
        if (!path_.empty())
            fs::remove_all(path_, ec);
    }
    const fs::path& path() const { return path_; }
    std::vector<std::string> tables() const
    {
        std::vector<std::string> out;
        for (const auto& e : fs::directory_iterator(path_))
            if (upper(e.path().extension().string()) == ".DB")
                out.push_back(e.path().string());
        return out;
    }

private:
    fs::path path_;
};

TvxBenchDirectory& benchDirectory()
{
    static TvxBenchDirectory dir;
    return dir;
}

void BM_ConnectDirectory(benchmark::State& state)
{
    const auto& dir = benchDirectory();
    const fs::path config = dir.path() / "aliases.conf";
    auto engine = CreateParadoxEngine(config.string());
    std::size_t tables = 0;
    std::size_t bytes = 0;
    for (auto _ : state) {
        TvxBenchList list;
        TvxDatabase db(*engine);
        db.SetDataSetList(&list);
        try {
            db.OpenByPath(dir.path().string());
        } catch (const std::exception& e) {
            state.SkipWithError(e.what());
            break;
        }
        tables = list.items.size();
        bytes = 0;
        for (const auto& item : list.items)
            bytes += item.desc->MemoryUsage() + sizeof(item) + item.name.capacity();
        benchmark::DoNotOptimize(list.items.data());
    }
    state.counters["tables"] = static_cast<double>(tables);
    state.counters["bytes_per_table"] = tables ? static_cast<double>(bytes) / static_cast<double>(tables) : 0.0;
}
BENCHMARK(BM_ConnectDirectory)->Unit(benchmark::kMillisecond);

void silent(pxdoc_t*, int, const char*, void*) {}

void BM_PxlibOpenHeaders(benchmark::State& state)
{
    const auto files = benchDirectory().tables();
    for (auto _ : state) {
        int opened = 0;
        for (const auto& file : files) {
            pxdoc_t* px = PX_new2(silent, nullptr, nullptr, nullptr);
            if (PX_open_file(px, file.c_str()) >= 0) {
                ++opened;
                PX_close(px);
            }
            PX_delete(px);
        }
        benchmark::DoNotOptimize(opened);
    }
    state.counters["tables"] = static_cast<double>(files.size());
}
BENCHMARK(BM_PxlibOpenHeaders)->Unit(benchmark::kMillisecond);

} // namespace
