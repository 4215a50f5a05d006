// Records set aside come back as they went in and in order, every kind of value, whether they
// stayed in memory or went through the temporary file.

#include "server/TvxKeptRecords.h"

#include <gtest/gtest.h>
#include <random>

namespace morvane {
namespace {

TEST(KeptRecords, ComeBackWholeAndInOrder)
{
    for (const std::size_t count : {std::size_t{0}, std::size_t{5}, TvxKeptRecords::InMemoryRecords * 5 / 2}) {
        std::mt19937_64 rng(count);
        std::vector<TvxRecord> added;
        TvxKeptRecords kept;
        for (std::size_t n = 0; n < count; ++n) {
            const auto bits = rng();
            TvxRecord r = {TvxFieldValue(), TvxFieldValue::Integer(static_cast<std::int64_t>(bits)),
                           TvxFieldValue::Float(static_cast<double>(bits) / 7), TvxFieldValue::Logical(bits % 2),
                           TvxFieldValue::Date(static_cast<std::int32_t>(bits)), TvxFieldValue::Timestamp(1e12 + n),
                           TvxFieldValue::Bcd("-1.50"), TvxFieldValue::Bytes(std::string(bits % 300, '\0') + "x")};
            r.resize(1 + bits % r.size());
            r.back().setStorageId(bits);
            kept.Add(r);
            added.push_back(r);
        }
        EXPECT_EQ(kept.size(), static_cast<std::int64_t>(count));
        const auto source = kept.Read();
        TvxRecord back;
        for (const TvxRecord& r : added) {
            ASSERT_TRUE(source->Next(back));
            ASSERT_EQ(back, r);
            ASSERT_EQ(back.back().storageId(), r.back().storageId());
        }
        EXPECT_FALSE(source->Next(back));
    }
}

} // namespace
} // namespace morvane
