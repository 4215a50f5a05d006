#pragma once
// TvxKeptRecords: the records an update sets aside for a problem or key-violation table, in
// the order they come. Memory stays bounded: past InMemoryRecords they go to an unnamed
// temporary file, which the system removes when it is closed or the process ends. Read()
// gives them all back, in order, as a record source (one at a time); Add after Read is not
// allowed. A failing write or read of the file throws std::runtime_error.

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "db/IvxRecordSource.h"

namespace morvane {

class TvxKeptRecords
{
public:
    static constexpr std::size_t InMemoryRecords = 1024;

    TvxKeptRecords() = default;
    ~TvxKeptRecords();
    TvxKeptRecords(const TvxKeptRecords&) = delete;
    TvxKeptRecords& operator=(const TvxKeptRecords&) = delete;

    void Add(const TvxRecord& record);
    bool empty() const { return count_ == 0; }
    std::int64_t size() const { return count_; }
    std::unique_ptr<IvxRecordSource> Read();

private:
    class TvxReader;
    void spill();

    std::vector<TvxRecord> held_; // those not in the file, after those in it
    std::FILE* file_ = nullptr;
    std::int64_t count_ = 0;
    std::int64_t spilled_ = 0;
    std::string encoded_;
};

} // namespace morvane
