#pragma once
// Small record sources of the server: none at all, a list held in memory, and a guard that
// remembers a failure of the source it reads (so that a fault of the source can be told from
// a fault of the writer that reads through it).

#include <string>
#include <vector>

#include "db/IvxRecordSource.h"

namespace morvane {

class TvxEmptySource : public IvxRecordSource
{
public:
    bool Next(TvxRecord&) override { return false; }
};

class TvxListSource : public IvxRecordSource
{
public:
    explicit TvxListSource(const std::vector<TvxRecord>& records) : records_(records) {}
    bool Next(TvxRecord& record) override
    {
        if (next_ >= records_.size())
            return false;
        record = records_[next_++];
        return true;
    }

private:
    const std::vector<TvxRecord>& records_;
    std::size_t next_ = 0;
};

class TvxGuardedSource : public IvxRecordSource
{
public:
    explicit TvxGuardedSource(IvxRecordSource& source) : source_(source) {}
    bool Next(TvxRecord& record) override
    {
        try {
            return source_.Next(record);
        } catch (const std::exception& e) {
            failure_ = e.what();
            failed_ = true;
            throw;
        }
    }
    bool Failed() const { return failed_; }
    const std::string& Failure() const { return failure_; }

private:
    IvxRecordSource& source_;
    bool failed_ = false;
    std::string failure_;
};

} // namespace morvane
