#pragma once
// Shared by the benchmarks that read a whole table: every record of the table at `path` read
// through our reader, counted as records_per_second.

#include <benchmark/benchmark.h>
#include <cstdint>
#include <string>

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

} // namespace morvane::bench
