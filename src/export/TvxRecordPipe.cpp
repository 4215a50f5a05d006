#include "export/TvxRecordPipe.h"

namespace morvane {

TvxRecordPipe::TvxRecordPipe(IvxRecordSource& source, std::size_t batchRecords, Prepare prepare)
    : source_(source), prepare_(std::move(prepare)), batches_(Batches, std::vector<TvxRecord>(batchRecords))
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
            changed_.wait(lock, [this] { return stop_ || !free_.empty(); });
            if (stop_)
                return;
            batch = free_.front();
            free_.pop_front();
        }
        std::vector<TvxRecord>& records = batches_[batch];
        std::size_t count = 0;
        std::exception_ptr failure;
        try {
            while (count < records.size() && source_.Next(records[count]))
                ++count;
            if (count > 0)
                prepare_(batch, records.data(), count);
        } catch (...) {
            failure = std::current_exception();
            count = 0; // the records of a batch that failed are not given
        }
        const bool last = failure || count < records.size();
        {
            std::lock_guard lock(mutex_);
            if (count > 0)
                full_.emplace_back(batch, count);
            else
                free_.push_back(batch);
            failure_ = std::move(failure); // the reader keeps no share of it
            ended_ = last;
        }
        changed_.notify_all();
        if (last)
            return;
    }
}

std::size_t TvxRecordPipe::Next(const TvxRecord*& records, std::size_t& batch)
{
    std::unique_lock lock(mutex_);
    if (held_ != Batches) {
        free_.push_back(held_);
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
