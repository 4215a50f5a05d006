#include "export/TvxRecordPipe.h"

namespace morvane {

namespace {

// The memory a record's values hold (what a blank value kept from before included).
std::size_t heldBytes(const TvxRecord& record)
{
    std::size_t bytes = 0;
    for (const TvxFieldValue& v : record)
        bytes += v.text().capacity();
    return bytes;
}

} // namespace

TvxRecordPipe::TvxRecordPipe(IvxRecordSource& source, std::size_t batchRecords, std::size_t bytesInFlight,
                             Prepare prepare)
    : source_(source), bytesInFlight_(bytesInFlight), prepare_(std::move(prepare)),
      batches_(Batches, std::vector<TvxRecord>(batchRecords)), large_(Batches), bytes_(Batches, 0)
{
    for (std::size_t i = 0; i < Batches; ++i)
        free_.push_back(i);
    reader_ = std::thread([this] { read(); });
}

TvxRecordPipe::~TvxRecordPipe()
{
    {
        std::lock_guard lock(mutex_);
        stop_ = true;
    }
    changed_.notify_all();
    reader_.join();
}

void TvxRecordPipe::read()
{
    for (;;) {
        std::size_t batch = 0;
        {
            std::unique_lock lock(mutex_);
            // A batch fills to its share at most (and one record), which must fit beside the others.
            const std::size_t others = bytesInFlight_ - bytesInFlight_ / Batches;
            changed_.wait(lock, [&] { return stop_ || (!free_.empty() && handedOver_ <= others); });
            if (stop_)
                return;
            batch = free_.front();
            free_.pop_front();
        }
        std::size_t count = 0;
        bool more = false;
        std::exception_ptr failure;
        try {
            more = fill(batch, count);
            if (count > 0)
                prepare_(batch, batches_[batch].data(), count);
        } catch (...) {
            failure = std::current_exception();
            count = 0; // the records of a batch that failed are not given
        }
        const bool last = failure || !more;
        {
            std::lock_guard lock(mutex_);
            if (count > 0) {
                full_.emplace_back(batch, count);
                handedOver_ += bytes_[batch];
            } else
                free_.push_back(batch);
            failure_ = std::move(failure); // the reader keeps no share of it
            ended_ = last;
        }
        changed_.notify_all();
        if (last)
            return;
    }
}

bool TvxRecordPipe::fill(std::size_t b, std::size_t& count)
{
    std::vector<TvxRecord>& records = batches_[b];
    for (const std::size_t i : large_[b])
        TvxRecord().swap(records[i]);
    large_[b].clear();
    std::size_t& bytes = bytes_[b];
    bytes = 0;
    while (count < records.size() && (count == 0 || bytes < bytesInFlight_ / Batches)) {
        if (!source_.Next(records[count]))
            return false;
        const std::size_t held = heldBytes(records[count]);
        if (held >= LargeRecordBytes)
            large_[b].push_back(count);
        bytes += held;
        ++count;
    }
    return true;
}

std::size_t TvxRecordPipe::Next(const TvxRecord*& records, std::size_t& batch)
{
    std::unique_lock lock(mutex_);
    if (held_ != Batches) {
        free_.push_back(held_);
        handedOver_ -= bytes_[held_];
        held_ = Batches;
        lock.unlock();
        changed_.notify_all();
        lock.lock();
    }
    changed_.wait(lock, [this] { return !full_.empty() || ended_; });
    if (full_.empty()) {
        if (failure_)
            std::rethrow_exception(std::exchange(failure_, nullptr));
        return 0;
    }
    const auto [b, count] = full_.front();
    full_.pop_front();
    held_ = b;
    batch = b;
    records = batches_[b].data();
    return count;
}

} // namespace morvane
