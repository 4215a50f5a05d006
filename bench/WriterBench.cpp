// Writing a Paradox table family against writing its bytes plainly. BM_WriteTable writes a
// keyed table of 100,000 records in random key order with two secondary indexes (one .Xnn,
// one case-insensitive .XGn) through ParadoxWriteTable: encoding, sorting, the .DB, .PX, X and
// Y files, the check of the written family and the move into place. BM_WriteRawBytes writes
// as many bytes as that family holds into one file, in blocks of the table's block size,
// flushed once at the end as the writer flushes its files. Both report records_per_second
// for the same 100,000 records.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

#include "db/IvxRecordSource.h"
#include "db/paradox/ParadoxWriter.h"
#include "model/clvxTableDesc.h"
#include "model/vxFieldTypes.h"

namespace {

using namespace morvane;
namespace fs = std::filesystem;

constexpr int Records = 100000;
constexpr std::size_t BlockBytes = 2048;

TvxFieldDesc field(const char* name, int type, int size = 0)
{
    TvxFieldDesc f;
    f.setName(name);
    f.setType(type);
    f.setUnits1(size);
    return f;
}

TvxIndexDesc index(const char* name, std::vector<int> fields, bool primary, bool caseInsensitive = false)
{
    TvxIndexDesc x;
    x.setName(name);
    x.setPrimary(primary);
    x.setMaintained(true);
    x.setCaseInsensitive(caseInsensitive);
    x.setKeyFieldCount(static_cast<int>(fields.size()));
    for (std::size_t i = 0; i < fields.size(); ++i)
        x.setKeyField(static_cast<int>(i), fields[i]);
    return x;
}

TvxTableDesc customers()
{
    TvxTableDesc d;
    d.SetFields({field("Id", fldLong), field("Name", fldAlpha, 30), field("City", fldAlpha, 20),
                 field("Balance", fldMoney), field("Since", fldDate)});
    d.SetIndexes({index("", {1}, true), index("", {3}, false), index("ByName", {2}, false, true)});
    d.CursorProps().setTableLevel(7);
    return d;
}

// Ids in a scrambled order (a permutation of 1..Records), names and cities from small sets.
class Customers : public IvxRecordSource
{
public:
    bool Next(TvxRecord& r) override
    {
        if (n_ == Records)
            return false;
        const std::uint32_t id = 1 + static_cast<std::uint32_t>((static_cast<std::uint64_t>(n_) * 40503u) % Records);
        ++n_;
        r.resize(5);
        r[0].setInteger(TvxFieldValue::Kind::Integer, id);
        std::string& name = r[1].textForWriting(TvxFieldValue::Kind::Bytes);
        name = "Customer ";
        name += std::to_string(id * 7919u % 65521u);
        std::string& city = r[2].textForWriting(TvxFieldValue::Kind::Bytes);
        city = "City ";
        city += std::to_string(id % 397);
        r[3].setReal(TvxFieldValue::Kind::Float, (id % 100000) / 100.0);
        r[4].setInteger(TvxFieldValue::Kind::Date, 730000 + static_cast<std::int64_t>(id % 9000));
        return true;
    }

private:
    int n_ = 0;
};

std::uint64_t directoryBytes(const fs::path& dir)
{
    std::uint64_t total = 0;
    for (const auto& e : fs::directory_iterator(dir))
        total += e.file_size();
    return total;
}

fs::path benchDirectory(const char* name)
{
    const fs::path dir = fs::temp_directory_path() / name;
    fs::remove_all(dir);
    fs::create_directories(dir);
    return dir;
}

std::uint64_t familyBytes = 0;

void BM_WriteTable(benchmark::State& state)
{
    const TvxTableDesc desc = customers();
    const fs::path dir = benchDirectory("morvane-writer-bench");
    for (auto _ : state) {
        Customers records;
        ParadoxWriteOptions options;
        options.replace = true;
        ParadoxWriteTable(desc, records, dir.string(), "CUST", options);
    }
    familyBytes = directoryBytes(dir);
    state.counters["records_per_second"] =
        benchmark::Counter(static_cast<double>(Records) * static_cast<double>(state.iterations()),
                           benchmark::Counter::kIsRate);
    state.counters["bytes"] = static_cast<double>(familyBytes);
    fs::remove_all(dir);
}
BENCHMARK(BM_WriteTable)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_WriteRawBytes(benchmark::State& state)
{
    const fs::path dir = benchDirectory("morvane-raw-bench");
    const std::uint64_t bytes = familyBytes > 0 ? familyBytes : 12u << 20;
    std::vector<char> block(BlockBytes, 'x');
    for (auto _ : state) {
        const std::string path = (dir / "RAW.DB").string();
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        for (std::uint64_t at = 0; at < bytes; at += BlockBytes)
            if (::pwrite(fd, block.data(), BlockBytes, static_cast<off_t>(at)) != static_cast<ssize_t>(BlockBytes))
                state.SkipWithError("write failed");
        ::fsync(fd);
        ::close(fd);
        ::unlink(path.c_str());
    }
    state.counters["records_per_second"] =
        benchmark::Counter(static_cast<double>(Records) * static_cast<double>(state.iterations()),
                           benchmark::Counter::kIsRate);
    state.counters["bytes"] = static_cast<double>(bytes);
    fs::remove_all(dir);
}
BENCHMARK(BM_WriteRawBytes)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
