#pragma once
// A record source read on a thread of its own, a batch at a time, while the caller works on
// the batch before: Batches batches of batchRecords records go round between the two. After
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
    using Prepare = std::function<void(std::size_t batch, const TvxRecord* records, std::size_t count)>;

    TvxRecordPipe(IvxRecordSource& source, std::size_t batchRecords, Prepare prepare);
    ~TvxRecordPipe();
    TvxRecordPipe(const TvxRecordPipe&) = delete;
    TvxRecordPipe& operator=(const TvxRecordPipe&) = delete;

    // The next batch (its number, 0 to Batches - 1, in `batch`), given back to the reading
    // thread at the following call; its records stay unchanged until then. 0 at the end.
    std::size_t Next(const TvxRecord*& records, std::size_t& batch);

private:
    void read();

    IvxRecordSource& source_;
    Prepare prepare_;
    std::vector<std::vector<TvxRecord>> batches_;
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
