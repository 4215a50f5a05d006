// The pipe that reads records on a thread of its own: every record comes through once and in
// order, prepared on the reading side, whatever the batch size and the number of records; a
// failure of the source comes out after the records read before it; a pipe left early stops
// its reader.

#include <atomic>
#include <cstdint>
#include <gtest/gtest.h>
#include <random>
#include <stdexcept>
#include <vector>

#include "export/TvxRecordPipe.h"

namespace morvane {
namespace {

// Records 1 to count, each holding its number; fails at record failAt (0: never).
class Numbers : public IvxRecordSource
{
public:
    Numbers(std::int64_t count, std::int64_t failAt = 0) : count_(count), failAt_(failAt) {}
    bool Next(TvxRecord& record) override
    {
        if (next_ == count_)
            return false;
        ++next_;
        if (next_ == failAt_)
            throw std::runtime_error("record " + std::to_string(next_) + " cannot be read");
        record.assign(1, TvxFieldValue::Integer(next_));
        return true;
    }
    std::int64_t read() const { return next_; }

private:
    std::int64_t count_;
    std::int64_t failAt_;
    std::atomic<std::int64_t> next_ = 0;
};

TEST(RecordPipe, EveryRecordOnceInOrderAndPrepared)
{
    std::mt19937 rng(7);
    for (int round = 0; round < 60; ++round) {
        const std::size_t batch = std::uniform_int_distribution<std::size_t>(1, 40)(rng);
        const std::int64_t count = round < 4 ? static_cast<std::int64_t>(batch) * round
                                             : std::uniform_int_distribution<std::int64_t>(0, 500)(rng);
        SCOPED_TRACE("batch " + std::to_string(batch) + ", records " + std::to_string(count));
        Numbers source(count);
        // What prepare saw of each batch: the sum of its record numbers.
        std::vector<std::int64_t> prepared(TvxRecordPipe::Batches, -1);
        TvxRecordPipe pipe(source, batch, [&](std::size_t b, const TvxRecord* records, std::size_t n) {
            std::int64_t sum = 0;
            for (std::size_t i = 0; i < n; ++i)
                sum += records[i][0].integer();
            prepared[b] = sum;
        });
        std::int64_t expected = 1;
        const TvxRecord* records = nullptr;
        std::size_t b = 0;
        while (const std::size_t n = pipe.Next(records, b)) {
            ASSERT_LT(b, TvxRecordPipe::Batches);
            ASSERT_LE(n, batch);
            std::int64_t sum = 0;
            for (std::size_t i = 0; i < n; ++i, ++expected) {
                ASSERT_EQ(records[i][0].integer(), expected);
                sum += expected;
            }
            ASSERT_EQ(prepared[b], sum);
        }
        EXPECT_EQ(expected, count + 1);
        EXPECT_EQ(pipe.Next(records, b), 0u); // the end stays the end
    }
}

TEST(RecordPipe, FailureAfterTheRecordsBeforeIt)
{
    for (const std::int64_t failAt : {1, 5, 6, 7, 40}) {
        SCOPED_TRACE("fails at " + std::to_string(failAt));
        Numbers source(100, failAt);
        TvxRecordPipe pipe(source, 5, [](std::size_t, const TvxRecord*, std::size_t) {});
        std::int64_t taken = 0;
        const TvxRecord* records = nullptr;
        std::size_t b = 0;
        try {
            while (const std::size_t n = pipe.Next(records, b))
                taken += static_cast<std::int64_t>(n);
            ADD_FAILURE() << "the failure was lost";
        } catch (const std::runtime_error& e) {
            EXPECT_EQ(std::string(e.what()), "record " + std::to_string(failAt) + " cannot be read");
        }
        // The whole batches before the failing one came through.
        EXPECT_EQ(taken, (failAt - 1) / 5 * 5);
    }
}

TEST(RecordPipe, LeftEarlyStopsTheReader)
{
    Numbers source(1000000);
    {
        TvxRecordPipe pipe(source, 10, [](std::size_t, const TvxRecord*, std::size_t) {});
        const TvxRecord* records = nullptr;
        std::size_t b = 0;
        ASSERT_EQ(pipe.Next(records, b), 10u);
    }
    // The reader fills at most the batches it has, then waits and stops.
    EXPECT_LE(source.read(), static_cast<std::int64_t>(10 * (TvxRecordPipe::Batches + 1)));
}

} // namespace
} // namespace morvane
