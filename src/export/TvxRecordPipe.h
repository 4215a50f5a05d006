#pragma once
// A record source read on a thread of its own, a batch at a time, while the caller works on
// the batch before: Batches batches of batchRecords records go round between the two. What
// their records' texts and blobs hold stays within bytesInFlight and one record, whatever the
// batch size: a batch closes early at its share of it, and the next waits while the batches
// handed over hold the rest; a record that held more than LargeRecordBytes gives its memory
// back before its batch is filled again. After
// filling a batch the reading thread calls prepare(batch, records, count) with it, so that
// work on the records can be done there as well. Next gives the batches in order; a failure of
// the source (or of prepare) is thrown by Next once the batches read before it are taken. The
// source is used by the reading thread alone from construction until Next has given the end
// or the pipe is destroyed; destroying the pipe stops the reading and waits for it.

#include "db/IvxRecordSource.h"

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

namespace morvane {

class TvxRecordPipe
{
public:
    static constexpr std::size_t Batches = 3;
    static constexpr std::size_t LargeRecordBytes = std::size_t{16} << 10;
    // What the exports' batches hold of texts and blobs at most, together (and one record more):
    // a table of large memos goes in batches of a few records.
    static constexpr std::size_t ExportBytesInFlight = std::size_t{64} << 20;
    using Prepare = std::function<void(std::size_t batch, const TvxRecord* records, std::size_t count)>;

    TvxRecordPipe(IvxRecordSource& source, std::size_t batchRecords, std::size_t bytesInFlight, Prepare prepare);
    ~TvxRecordPipe();
    TvxRecordPipe(const TvxRecordPipe&) = delete;
    TvxRecordPipe& operator=(const TvxRecordPipe&) = delete;

    // The next batch (its number, 0 to Batches - 1, in `batch`), given back to the reading
    // thread at the following call; its records stay unchanged until then. 0 at the end.
    std::size_t Next(const TvxRecord*& records, std::size_t& batch);

private:
    void read();
    // Fills batch b from the source; false when the source has ended.
    bool fill(std::size_t b, std::size_t& count);

    IvxRecordSource& source_;
    std::size_t bytesInFlight_;
    Prepare prepare_;
    std::vector<std::vector<TvxRecord>> batches_;
    std::vector<std::vector<std::size_t>> large_; // by batch: its records that held LargeRecordBytes
    std::vector<std::size_t> bytes_;              // by batch: what its records hold
    std::size_t handedOver_ = 0;                  // bytes_ of the full batches and the caller's
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<std::size_t> free_;                         // batches the reader may fill
    std::deque<std::pair<std::size_t, std::size_t>> full_; // (batch, records) in order
    std::size_t held_ = Batches;                           // the batch the caller has; Batches: none
    bool ended_ = false;                                   // the reader has given its last batch
    bool stop_ = false;
    std::exception_ptr failure_;
    std::thread reader_;
};

} // namespace morvane
