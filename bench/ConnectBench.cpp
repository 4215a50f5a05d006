// Connecting to a directory of 1,000 tables (keys, secondary indexes, .VAL files) through
// TvxDatabase, against what the same files cost elsewhere: pxlib opening each .DB, pxlib
// opening every family file it can (.DB, .PX, .Xnn/.Ynn, .XGn/.YGn; given the list, and
// listing the directory itself), and the floor of opening, reading the first 4 KiB of and
// closing every family file.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include <fcntl.h>
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
                const fs::path copy = path_ / (name + upper(entry.path().extension().string()));
                fs::copy_file(entry.path(), copy);
                // Writable, as tables are: pxlib opens them for writing and fails on read-only files
                // (unless run as root), which would leave it nothing to parse.
                fs::permissions(copy, fs::perms::owner_read | fs::perms::owner_write, fs::perm_options::add);
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
    std::vector<std::string> tables() const { return files({".DB"}); }
    // Every file of the tables' families (what a connect reads).
    std::vector<std::string> familyFiles() const { return files({}); }
    // The family files pxlib opens: tables and their index files, not .VAL.
    std::vector<std::string> pxlibFiles() const
    {
        std::vector<std::string> out;
        for (const auto& f : files({}))
            if (upper(fs::path(f).extension().string()) != ".VAL")
                out.push_back(f);
        return out;
    }

private:
    // Files with one of the extensions (all table files when none), sorted.
    std::vector<std::string> files(const std::vector<std::string>& extensions) const
    {
        std::vector<std::string> out;
        for (const auto& e : fs::directory_iterator(path_)) {
            const std::string ext = upper(e.path().extension().string());
            if (e.path().filename() == "aliases.conf")
                continue;
            if (extensions.empty() || std::find(extensions.begin(), extensions.end(), ext) != extensions.end())
                out.push_back(e.path().string());
        }
        std::sort(out.begin(), out.end());
        return out;
    }

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

// Opens and closes every file through pxlib; the number it could open.
template <class Files>
int pxlibOpenAll(const Files& files)
{
    int opened = 0;
    for (const auto& file : files) {
        pxdoc_t* px = PX_new2(silent, nullptr, nullptr, nullptr);
        if (PX_open_file(px, file.c_str()) >= 0) {
            ++opened;
            PX_close(px);
        }
        PX_delete(px);
    }
    return opened;
}

// Fails the benchmark unless pxlib opened (and parsed the header of) every file.
template <class Files>
void pxlibOpenEvery(benchmark::State& state, const Files& files)
{
    const int opened = pxlibOpenAll(files);
    if (opened != static_cast<int>(files.size()))
        state.SkipWithError("pxlib could not open every file");
    benchmark::DoNotOptimize(opened);
}

void BM_PxlibOpenHeaders(benchmark::State& state)
{
    const auto files = benchDirectory().tables();
    for (auto _ : state)
        pxlibOpenEvery(state, files);
    state.counters["tables"] = static_cast<double>(files.size());
}
BENCHMARK(BM_PxlibOpenHeaders)->Unit(benchmark::kMillisecond);

void BM_PxlibOpenFamilies(benchmark::State& state)
{
    const auto files = benchDirectory().pxlibFiles();
    for (auto _ : state)
        pxlibOpenEvery(state, files);
    state.counters["files"] = static_cast<double>(files.size());
}
BENCHMARK(BM_PxlibOpenFamilies)->Unit(benchmark::kMillisecond);

// The same with the work a connect cannot skip: finding the files by listing the directory
// (unsorted, by extension), as BM_ConnectDirectory does before it opens them.
void BM_PxlibListAndOpenFamilies(benchmark::State& state)
{
    const fs::path& dir = benchDirectory().path();
    const std::size_t expected = benchDirectory().pxlibFiles().size();
    std::vector<std::string> files;
    for (auto _ : state) {
        files.clear();
        for (const auto& e : fs::directory_iterator(dir)) {
            const std::string ext = upper(e.path().extension().string());
            if (ext == ".DB" || ext == ".PX" || ext.starts_with(".X") || ext.starts_with(".Y"))
                files.push_back(e.path().string());
        }
        if (files.size() != expected)
            state.SkipWithError("the listing missed family files");
        pxlibOpenEvery(state, files);
    }
    state.counters["files"] = static_cast<double>(expected);
}
BENCHMARK(BM_PxlibListAndOpenFamilies)->Unit(benchmark::kMillisecond);

void BM_RawOpenReadClose(benchmark::State& state)
{
    const auto files = benchDirectory().familyFiles();
    char buf[4096];
    for (auto _ : state) {
        std::size_t bytes = 0;
        for (const auto& file : files) {
            const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
            if (fd < 0)
                continue;
            const ssize_t n = ::read(fd, buf, sizeof buf);
            bytes += n > 0 ? static_cast<std::size_t>(n) : 0;
            ::close(fd);
        }
        benchmark::DoNotOptimize(bytes);
    }
    state.counters["files"] = static_cast<double>(files.size());
}
BENCHMARK(BM_RawOpenReadClose)->Unit(benchmark::kMillisecond);

} // namespace
