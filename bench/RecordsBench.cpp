// Reading every record of a table of 120,000 records of mixed types (Alpha, Short, Long,
// Number, Money, Date, Time, Timestamp, Logical, BCD, Bytes, Autoincrement), decoding every
// field: our reader against pxlib on the same file, and against reading the file's bytes
// alone, the floor. The table is written with pxlib into a temporary folder when the program
// starts.
#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

extern "C" {
#include <paradox.h>
}

#include "db/paradox/ParadoxByteSource.h"
#include "db/paradox/ParadoxRecordReader.h"
#include "BenchRecords.h"

namespace {

namespace fs = std::filesystem;
using namespace morvane;

constexpr int RecordCount = 120000;

void silent(pxdoc_t*, int, const char*, void*) {}

// Record encoding: big-endian, top bit flipped (negative doubles: every bit).
void putInt(char* p, long v, int bytes)
{
    auto u = static_cast<unsigned long>(v);
    for (int i = bytes - 1; i >= 0; --i, u >>= 8)
        p[i] = static_cast<char>(u & 0xFF);
    p[0] = static_cast<char>(p[0] ^ 0x80);
}
void putDouble(char* p, double d)
{
    std::uint64_t bits = 0;
    std::memcpy(&bits, &d, 8);
    bits = (bits >> 63) ? ~bits : (bits | (1ULL << 63));
    for (int i = 7; i >= 0; --i, bits >>= 8)
        p[i] = static_cast<char>(bits & 0xFF);
}
// A non-negative amount in hundredths as BCD with 2 decimals.
void putBcd(char* p, unsigned long hundredths)
{
    std::memset(p, 0, 17);
    p[0] = static_cast<char>(0xC2);
    for (int nibble = 31; nibble >= 0 && hundredths > 0; --nibble, hundredths /= 10) {
        const int digit = static_cast<int>(hundredths % 10);
        p[1 + nibble / 2] = static_cast<char>(p[1 + nibble / 2] | ((nibble % 2) ? digit : digit << 4));
    }
}

class TvxBenchTable
{
public:
    TvxBenchTable()
    {
        std::string tmpl = (fs::temp_directory_path() / "morvane-records-XXXXXX").string();
        if (!::mkdtemp(tmpl.data()))
            return;
        dir_ = tmpl;
        path_ = (dir_ / "MIXED.DB").string();
        static char names[][12] = {"Name", "Qty",   "Count", "Price", "Amount", "Day",
                                   "At",   "Stamp", "Paid",  "Exact", "Tag",    "Id"};
        pxfield_t fields[] = {
            {names[0], pxfAlpha, 20, 0}, {names[1], pxfShort, 2, 0},     {names[2], pxfLong, 4, 0},
            {names[3], pxfNumber, 8, 0}, {names[4], pxfCurrency, 8, 0},  {names[5], pxfDate, 4, 0},
            {names[6], pxfTime, 4, 0},   {names[7], pxfTimestamp, 8, 0}, {names[8], pxfLogical, 1, 0},
            {names[9], pxfBCD, 17, 2},   {names[10], pxfBytes, 8, 0},    {names[11], pxfAutoInc, 4, 0}};
        const int n = static_cast<int>(sizeof fields / sizeof fields[0]);
        pxdoc_t* px = PX_new2(silent, nullptr, nullptr, nullptr);
        // pxlib keeps the field array: a copy on the heap that it frees.
        auto* owned = static_cast<pxfield_t*>(std::malloc(sizeof fields));
        std::memcpy(owned, fields, sizeof fields);
        for (int i = 0; i < n; ++i)
            owned[i].px_fname = strdup(fields[i].px_fname);
        if (PX_create_file(px, owned, n, path_.c_str(), pxfFileTypNonIndexDB) < 0) {
            PX_delete(px);
            path_.clear();
            return;
        }
        std::vector<char> rec(88);
        for (int r = 0; r < RecordCount; ++r) {
            std::fill(rec.begin(), rec.end(), 0);
            char* p = rec.data();
            std::snprintf(p, 20, "Customer %d", r);
            p += 20;
            if (r % 7)
                putInt(p, r % 30000 - 15000, 2);
            p += 2;
            putInt(p, r * 37L - 1000000, 4);
            p += 4;
            putDouble(p, r * 0.25 - 777.125);
            p += 8;
            putDouble(p, r * 1.01);
            p += 8;
            putInt(p, 730000 + r % 5000, 4);
            p += 4;
            putInt(p, (r * 997) % 86400000, 4);
            p += 4;
            putDouble(p, 63716202001000.0 + r * 1000.0);
            p += 8;
            *p = static_cast<char>(r % 3 == 0 ? 0 : (r % 2 ? 0x81 : 0x80));
            p += 1;
            putBcd(p, static_cast<unsigned long>(r) * 101);
            p += 17;
            for (int i = 0; i < 8; ++i)
                p[i] = static_cast<char>(r >> i);
            p[0] = 1;
            p += 8;
            putInt(p, r + 1, 4);
            if (PX_put_record(px, rec.data()) < 0) {
                path_.clear();
                break;
            }
        }
        PX_close(px);
        PX_delete(px);
    }
    ~TvxBenchTable()
    {
        std::error_code ec;
        if (!dir_.empty())
            fs::remove_all(dir_, ec);
    }
    const std::string& path() const { return path_; }

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
BENCHMARK(BM_ReadAllRecords)->Unit(benchmark::kMillisecond);

void BM_RawReadTableFile(benchmark::State& state)
{
    bench::RawReadFile(state, benchTable().path());
}
BENCHMARK(BM_RawReadTableFile)->Unit(benchmark::kMillisecond);

void BM_PxlibReadAllRecords(benchmark::State& state)
{
    const std::string& path = benchTable().path();
    if (path.empty()) {
        state.SkipWithError("the table could not be written");
        return;
    }
    std::uint64_t records = 0;
    for (auto _ : state) {
        pxdoc_t* px = PX_new2(silent, nullptr, nullptr, nullptr);
        if (PX_open_file(px, path.c_str()) < 0) {
            PX_delete(px);
            state.SkipWithError("pxlib cannot open the table");
            return;
        }
        const pxhead_t* h = px->px_head;
        std::vector<char> buf(static_cast<std::size_t>(h->px_recordsize));
        for (int r = 0; r < h->px_numrecords; ++r) {
            if (!PX_get_record(px, r, buf.data()))
                break;
            char* p = buf.data();
            for (int i = 0; i < h->px_numfields; ++i) {
                const pxfield_t& f = h->px_fields[i];
                char* text = nullptr;
                long l = 0;
                short s = 0;
                double d = 0;
                char c = 0;
                switch (f.px_ftype) {
                case pxfAlpha:
                    PX_get_data_alpha(px, p, f.px_flen, &text);
                    break;
                case pxfShort:
                    PX_get_data_short(px, p, f.px_flen, &s);
                    break;
                case pxfLong:
                case pxfDate:
                case pxfTime:
                case pxfAutoInc:
                    PX_get_data_long(px, p, f.px_flen, &l);
                    break;
                case pxfNumber:
                case pxfCurrency:
                case pxfTimestamp:
                    PX_get_data_double(px, p, f.px_flen, &d);
                    break;
                case pxfLogical:
                    PX_get_data_byte(px, p, f.px_flen, &c);
                    break;
                case pxfBCD:
                    PX_get_data_bcd(px, reinterpret_cast<unsigned char*>(p), f.px_fdc, &text);
                    break;
                case pxfBytes:
                    PX_get_data_bytes(px, p, f.px_flen, &text);
                    break;
                default:
                    break;
                }
                benchmark::DoNotOptimize(l + s + d + c);
                if (text) {
                    benchmark::DoNotOptimize(text);
                    px->free(px, text);
                }
                p += f.px_flen;
            }
            ++records;
        }
        PX_close(px);
        PX_delete(px);
    }
    state.counters["records_per_second"] =
        benchmark::Counter(static_cast<double>(records), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_PxlibReadAllRecords)->Unit(benchmark::kMillisecond);

} // namespace
