// The pipe that reads records on a thread of its own: every record comes through once and in
// order, prepared on the reading side, whatever the batch size, the bound on a batch's bytes
// and the number of records, a batch closing early at that bound; a
// failure of the source comes out after the records read before it; a pipe left early stops
// its reader.

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <gtest/gtest.h>
#include <random>
#include <stdexcept>
#include <vector>

#include "export/TvxRecordPipe.h"

namespace morvane {
namespace {

// Records 1 to count, each holding its number and, when blobBytes > 0, a blob of up to that
// many bytes; fails at record failAt (0: never).
class Numbers : public IvxRecordSource
{
public:
    Numbers(std::int64_t count, std::int64_t failAt = 0, std::size_t blobBytes = 0)
        : count_(count), failAt_(failAt), blobBytes_(blobBytes)
    {}
    bool Next(TvxRecord& record) override
    {
        if (next_ == count_)
            return false;
        ++next_;
        if (next_ == failAt_)
            throw std::runtime_error("record " + std::to_string(next_) + " cannot be read");
        record.resize(blobBytes_ > 0 ? 2 : 1);
        record[0] = TvxFieldValue::Integer(next_);
        if (blobBytes_ > 0)
            record[1].textForWriting(TvxFieldValue::Kind::Bytes).assign(blobSize(next_), 'b');
        return true;
    }
    std::int64_t read() const { return next_; }
    std::size_t blobSize(std::int64_t n) const { return blobBytes_ ? n * 7919 % blobBytes_ : 0; }

private:
    std::int64_t count_;
    std::int64_t failAt_;
    std::size_t blobBytes_;
    std::atomic<std::int64_t> next_ = 0;
};

TEST(RecordPipe, EveryRecordOnceInOrderAndPrepared)
{
    std::mt19937 rng(7);
    for (int round = 0; round < 60; ++round) {
        const std::size_t batch = std::uniform_int_distribution<std::size_t>(1, 40)(rng);
        const std::int64_t count = round < 4 ? static_cast<std::int64_t>(batch) * round
                                             : std::uniform_int_distribution<std::int64_t>(0, 500)(rng);
        const std::size_t blobs = round % 2 ? 0 : std::uniform_int_distribution<std::size_t>(1, 40000)(rng);
        const std::size_t bound = blobs ? std::uniform_int_distribution<std::size_t>(1, 300000)(rng) : SIZE_MAX;
        SCOPED_TRACE("batch " + std::to_string(batch) + ", records " + std::to_string(count) + ", bytes " +
                     std::to_string(bound));
        Numbers source(count, 0, blobs);
        // What prepare saw of each batch: the sum of its record numbers.
        std::vector<std::int64_t> prepared(TvxRecordPipe::Batches, -1);
        TvxRecordPipe pipe(source, batch, bound, [&](std::size_t b, const TvxRecord* records, std::size_t n) {
            std::int64_t sum = 0;
            for (std::size_t i = 0; i < n; ++i)
                sum += records[i][0].integer();
            prepared[b] = sum;
        });
        std::int64_t expected = 1;
        bool shortBefore = false;
        const TvxRecord* records = nullptr;
        std::size_t b = 0;
        while (const std::size_t n = pipe.Next(records, b)) {
            ASSERT_LT(b, TvxRecordPipe::Batches);
            ASSERT_LE(n, batch);
            // The blobs read and not given back (those of the batches before) stay within the bound
            // and one record.
            std::size_t inFlight = 0;
            for (std::int64_t k = expected, end = source.read(); k <= end; ++k)
                inFlight += source.blobSize(k);
            ASSERT_LE(inFlight, bound == SIZE_MAX ? bound : bound + blobs);
            std::int64_t sum = 0;
            std::size_t bytes = 0; // the records' memory before the last one
            for (std::size_t i = 0; i < n; ++i, ++expected) {
                ASSERT_EQ(records[i][0].integer(), expected);
                sum += expected;
                if (i + 1 < n)
                    for (const TvxFieldValue& v : records[i])
                        bytes += v.text().capacity();
            }
            ASSERT_EQ(prepared[b], sum);
            const std::size_t share = bound / TvxRecordPipe::Batches;
            ASSERT_TRUE(n == 1 || bytes < share) << bytes;
            // Only the last batch is short of both its records and its bytes.
            ASSERT_FALSE(shortBefore);
            for (const TvxFieldValue& v : records[n - 1])
                bytes += v.text().capacity();
            shortBefore = n < batch && bytes < share;
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
        TvxRecordPipe pipe(source, 5, SIZE_MAX, [](std::size_t, const TvxRecord*, std::size_t) {});
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
        TvxRecordPipe pipe(source, 10, SIZE_MAX, [](std::size_t, const TvxRecord*, std::size_t) {});
        const TvxRecord* records = nullptr;
        std::size_t b = 0;
        ASSERT_EQ(pipe.Next(records, b), 10u);
    }
    // The reader fills at most the batches it has, then waits and stops.
    EXPECT_LE(source.read(), static_cast<std::int64_t>(10 * (TvxRecordPipe::Batches + 1)));
}

} // namespace
} // namespace morvane
