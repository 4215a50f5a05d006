#pragma once
// Shared by the benchmarks that read a whole table: every record of the table at `path` read
// through our reader, counted as records_per_second; and the floor beside it, the same file
// read from start to end into a buffer of the reader's window size, nothing decoded.

#include <benchmark/benchmark.h>
#include <cstdint>
#include <string>
#include <vector>

#include "db/paradox/ParadoxByteSource.h"
#include "db/paradox/ParadoxRecordReader.h"

namespace morvane::bench {

inline void ReadAllRecords(benchmark::State& state, const std::string& path)
{
    if (path.empty()) {
        state.SkipWithError("the table could not be written");
        return;
    }
    std::uint64_t records = 0;
    TvxRecord record;
    for (auto _ : state) {
        ParadoxRecordReader reader(ParadoxFileSource::Open(path), nullptr, 0);
        while (reader.Next(record)) {
            benchmark::DoNotOptimize(record.data());
            ++records;
        }
    }
    state.counters["records_per_second"] =
        benchmark::Counter(static_cast<double>(records), benchmark::Counter::kIsRate);
}

inline void RawReadFile(benchmark::State& state, const std::string& path)
{
    if (path.empty()) {
        state.SkipWithError("the table could not be written");
        return;
    }
    std::vector<std::uint8_t> buffer(std::size_t{64} << 10);
    std::uint64_t bytes = 0;
    for (auto _ : state) {
        const auto file = ParadoxFileSource::Open(path);
        for (std::uint64_t at = 0;;) {
            const std::size_t got = file->ReadAt(at, buffer.data(), buffer.size());
            if (got == 0)
                break;
            benchmark::DoNotOptimize(buffer.data());
            at += got;
            bytes += got;
        }
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(bytes));
}

} // namespace morvane::bench
