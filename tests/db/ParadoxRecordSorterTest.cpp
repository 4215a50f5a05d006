// The record sorter against a plain stable sort by the key order, over random key layouts
// (fields anywhere in the record, folded, descending, keys that share long prefixes or differ
// only far in), with the batch in memory and spilled to many runs on disk; and the key as the
// order sees it, byte by byte, against the order's comparison.

#include "db/paradox/ParadoxRecordSorter.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <vector>

namespace morvane {
namespace {

struct Layout
{
    std::size_t recordBytes = 0;
    std::vector<ParadoxKeySegment> segments;
};

std::vector<ParadoxKeySegment> randomSegments(std::mt19937& rng, std::size_t recordBytes)
{
    std::vector<ParadoxKeySegment> segments;
    const std::size_t count = 1 + rng() % 4;
    for (std::size_t i = 0; i < count; ++i) {
        ParadoxKeySegment s;
        s.length = 1 + rng() % std::min<std::size_t>(20, recordBytes);
        s.offset = rng() % (recordBytes - s.length + 1);
        s.fold = rng() % 3 == 0;
        s.alpha = rng() % 2 == 0;
        s.descending = rng() % 4 == 0;
        segments.push_back(s);
    }
    if (rng() % 3 == 0) // one plain key at the start of the record
        segments = {{0, 1 + rng() % std::min<std::size_t>(12, recordBytes), false, false}};
    return segments;
}

Layout randomLayout(std::mt19937& rng)
{
    Layout l;
    l.recordBytes = 4 + rng() % 60;
    l.segments = randomSegments(rng, l.recordBytes);
    return l;
}

// Places 0..count-1 in the stable order of `order` over the records.
std::vector<std::size_t> stableOrder(const std::vector<std::uint8_t>& records, std::size_t recordBytes,
                                     const ParadoxKeyOrder& order)
{
    std::vector<std::size_t> places(records.size() / recordBytes);
    for (std::size_t i = 0; i < places.size(); ++i)
        places[i] = i;
    std::stable_sort(places.begin(), places.end(), [&](std::size_t a, std::size_t b) {
        return order.less(&records[a * recordBytes], &records[b * recordBytes]);
    });
    return places;
}

// Records from a few values per byte (letters of both cases, the top of the code page), some
// bytes fixed for the whole batch, exact repeats.
std::vector<std::uint8_t> randomRecords(std::mt19937& rng, std::size_t recordBytes, std::size_t count)
{
    static const std::uint8_t alphabet[] = {0x00, 'a', 'A', 'b', 'B', 0xE9, 0xC9, 0xFF, '0'};
    std::vector<std::uint8_t> fixed(recordBytes);
    std::vector<bool> varies(recordBytes);
    for (std::size_t b = 0; b < recordBytes; ++b) {
        fixed[b] = alphabet[rng() % sizeof alphabet];
        varies[b] = rng() % 3 != 0;
    }
    const std::size_t spread = 2 + rng() % 4; // values a varying byte takes
    std::vector<std::uint8_t> out(recordBytes * count);
    for (std::size_t i = 0; i < count; ++i) {
        std::uint8_t* r = &out[i * recordBytes];
        if (i > 0 && rng() % 8 == 0) {
            std::memcpy(r, &out[(rng() % i) * recordBytes], recordBytes);
            r[recordBytes - 1] = static_cast<std::uint8_t>(i); // tells repeats apart in the output
            continue;
        }
        for (std::size_t b = 0; b < recordBytes; ++b)
            r[b] = varies[b] ? alphabet[rng() % spread] : fixed[b];
        r[recordBytes - 1] = static_cast<std::uint8_t>(i);
    }
    return out;
}

TEST(ParadoxRecordSorter, GivesTheStableOrderOfItsKeyInMemoryAndOnDisk)
{
    std::mt19937 rng(20261207);
    test::TempDir dir;
    for (int round = 0; round < 120; ++round) {
        const Layout layout = randomLayout(rng);
        const ParadoxKeyOrder order(layout.segments, ParadoxCollation::ForDriver(round % 2 ? "ANSII850" : "ascii"));
        const std::size_t count = rng() % 4 == 0 ? rng() % 50 : 100 + rng() % 3000;
        std::vector<std::uint8_t> records = randomRecords(rng, layout.recordBytes, count);
        if (round % 5 == 4) { // already in key order, as a keyed table's copy comes
            std::vector<std::uint8_t> sorted;
            for (std::size_t i : stableOrder(records, layout.recordBytes, order))
                sorted.insert(sorted.end(), &records[i * layout.recordBytes], &records[(i + 1) * layout.recordBytes]);
            records = sorted;
        }
        const std::vector<std::size_t> expected = stableOrder(records, layout.recordBytes, order);

        const bool onDisk = round % 3 == 0;
        ParadoxRecordSorter sorter(layout.recordBytes, order, onDisk ? 2000 + rng() % 20000 : 64 << 20,
                                   ParadoxWriterFiles::System(), dir.str(), std::to_string(round));
        for (std::size_t i = 0; i < count; ++i)
            sorter.add(&records[i * layout.recordBytes]);
        EXPECT_EQ(sorter.count(), count);
        if (!onDisk) {
            ASSERT_EQ(sorter.runs(), 0u);
            if (round % 2)
                sorter.sortInMemory(); // drain does not sort again
        }
        std::vector<std::uint8_t> got;
        sorter.drain([&](const std::uint8_t* r) { got.insert(got.end(), r, r + layout.recordBytes); });
        std::vector<std::uint8_t> want;
        for (std::size_t i : expected)
            want.insert(want.end(), &records[i * layout.recordBytes], &records[(i + 1) * layout.recordBytes]);
        ASSERT_EQ(got, want) << "round " << round << ", " << count << " records, runs on disk: " << onDisk;
        EXPECT_EQ(sorter.count(), 0u);
    }
    EXPECT_TRUE(std::filesystem::is_empty(dir.path())); // run files removed
}

TEST(ParadoxKeyOrder, KeysAsTheOrderSeesThemCompareAsTheirBytes)
{
    std::mt19937 rng(7);
    for (int round = 0; round < 200; ++round) {
        const Layout layout = randomLayout(rng);
        const ParadoxKeyOrder order(layout.segments, ParadoxCollation::ForDriver(round % 2 ? "ANSII850" : "DBWINUS0"));
        std::size_t keyBytes = 0;
        for (const auto& s : layout.segments)
            keyBytes += s.length;
        ASSERT_EQ(order.keyBytes(), keyBytes);
        const std::vector<std::uint8_t> records = randomRecords(rng, layout.recordBytes, 40);
        const auto seen = [&](std::size_t i) {
            std::vector<std::uint8_t> k;
            for (std::size_t at = 0; at < keyBytes; ++at) {
                const std::uint8_t* r = &records[i * layout.recordBytes];
                k.push_back(order.byteAt(r, at));
                EXPECT_LT(order.sourceOf(at), order.span());
            }
            return k;
        };
        for (std::size_t a = 0; a < 40; ++a)
            for (std::size_t b = 0; b < 40; ++b) {
                const int d = order.compare(&records[a * layout.recordBytes], &records[b * layout.recordBytes]);
                const std::vector<std::uint8_t> ka = seen(a);
                const std::vector<std::uint8_t> kb = seen(b);
                ASSERT_EQ(d < 0, ka < kb) << "round " << round;
                ASSERT_EQ(d == 0, ka == kb) << "round " << round;
            }
    }
}

} // namespace
} // namespace morvane
