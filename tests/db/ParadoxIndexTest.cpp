// Index lists of sample tables: the primary key from the .DB header, secondary indexes from
// the .Xnn/.XGn files (names, ids, key fields, options), in engine order.

#include "db/TvxParadoxDatabase.h"
#include "ParadoxTestSupport.h"

#include <gtest/gtest.h>

namespace morvane {
namespace {

using test::PxOracle;
using test::SamplePath;

std::vector<int> keys(const TvxIndexDesc& d)
{
    std::vector<int> out;
    for (int i = 0; i < d.keyFieldCount(); ++i)
        out.push_back(d.keyField(i));
    for (int i = d.keyFieldCount(); i < TvxIndexDesc::MaxKeyFields; ++i)
        EXPECT_EQ(d.keyField(i), 0);
    return out;
}

// Copies a sample file into dir under another name.
void copyAs(const test::TempDir& dir, const std::string& sample, const std::string& name)
{
    test::WriteAll(dir.path() / name, test::ReadAll(SamplePath(sample)));
}

std::vector<TvxIndexDesc> readIndexes(const std::string& dir, const std::string& table)
{
    TvxParadoxDatabase db(dir, std::make_shared<const std::vector<std::string>>());
    return db.ReadIndexDescriptors(table);
}

TEST(ParadoxIndexes, PrimaryKeyThenSingleFieldIndexesByFieldNumber)
{
    const auto idx = readIndexes(SamplePath("pd-joins"), "C.DB");
    ASSERT_EQ(idx.size(), 3u);
    EXPECT_TRUE(idx[0].primary());
    EXPECT_TRUE(idx[0].unique());
    EXPECT_TRUE(idx[0].maintained());
    EXPECT_EQ(idx[0].name(), "");
    EXPECT_EQ(idx[0].id(), 0);
    EXPECT_EQ(keys(idx[0]), std::vector<int>{1});

    // C.X02 and C.X03: named after their field, id = field number, maintained, no options.
    const PxOracle table = PxOracle::Read(SamplePath("pd-joins/C.DB"));
    for (int n : {2, 3}) {
        const auto& d = idx[static_cast<std::size_t>(n - 1)];
        SCOPED_TRACE(n);
        EXPECT_FALSE(d.primary());
        EXPECT_EQ(d.name(), table.fields[static_cast<std::size_t>(n - 1)].name);
        EXPECT_EQ(d.id(), n);
        EXPECT_EQ(keys(d), std::vector<int>{n});
        EXPECT_TRUE(d.maintained());
        EXPECT_FALSE(d.unique());
        EXPECT_FALSE(d.descending());
        EXPECT_FALSE(d.caseInsensitive());
        EXPECT_EQ(d.keyLength(), table.fields[static_cast<std::size_t>(n - 1)].length);
    }
}

TEST(ParadoxIndexes, NamedDescendingIndexOfALevel7Table)
{
    const auto idx = readIndexes(SamplePath("pd-joins"), "indexed.db");
    ASSERT_EQ(idx.size(), 1u); // unkeyed table: no primary key
    const auto& d = idx[0];
    EXPECT_EQ(d.name(), "Descending");
    EXPECT_FALSE(d.primary());
    EXPECT_FALSE(d.maintained()); // .XG0 of file type 6
    EXPECT_TRUE(d.descending());
    EXPECT_TRUE(d.caseInsensitive());
    EXPECT_FALSE(d.unique());
    EXPECT_EQ(keys(d), std::vector<int>{1});
    EXPECT_TRUE(d.descendingField(0));
    EXPECT_FALSE(d.descendingField(1));
}

TEST(ParadoxIndexes, CompositeIndexCarryingATwoFieldRule)
{
    const auto idx = readIndexes(SamplePath("pd-joins"), "fk4.db");
    ASSERT_EQ(idx.size(), 2u);
    EXPECT_TRUE(idx[0].primary());
    const auto& d = idx[1];
    EXPECT_EQ(d.name(), "reference");
    EXPECT_TRUE(d.maintained());
    EXPECT_FALSE(d.caseInsensitive());
    EXPECT_FALSE(d.descending());
    EXPECT_EQ(keys(d), (std::vector<int>{2, 4}));
    const PxOracle table = PxOracle::Read(SamplePath("pd-joins/fk4.db"));
    EXPECT_EQ(d.keyLength(), table.fields[1].length + table.fields[3].length);
    EXPECT_NE(d.id(), idx[0].id());
}

TEST(ParadoxIndexes, TwoFieldPrimaryKeyAndUnkeyedTableIndex)
{
    const auto two = readIndexes(SamplePath("pd-joins"), "two.db");
    ASSERT_EQ(two.size(), 1u);
    EXPECT_EQ(keys(two[0]), (std::vector<int>{1, 2}));

    // case.x01 on an unkeyed level 4 table: non-maintained, single field.
    const auto cs = readIndexes(SamplePath("pd-joins"), "case.db");
    ASSERT_EQ(cs.size(), 1u);
    EXPECT_FALSE(cs[0].primary());
    EXPECT_FALSE(cs[0].maintained());
    EXPECT_EQ(keys(cs[0]), std::vector<int>{1});
    EXPECT_EQ(cs[0].name(), PxOracle::Read(SamplePath("pd-joins/case.db")).fields[0].name);

    // A keyed table whose .PX is missing still reports its key from the .DB header.
    const auto states = readIndexes(SamplePath("pd-areas"), "STATES.DB");
    ASSERT_EQ(states.size(), 1u);
    EXPECT_TRUE(states[0].primary());
}

TEST(ParadoxIndexes, IndexWithoutItsTreeFileIsNotListed)
{
    test::TempDir dir;
    dir.copySamples({"pd-joins/C.DB", "pd-joins/C.PX", "pd-joins/C.X02", "pd-joins/C.Y02", "pd-joins/C.X03"});
    const auto idx = readIndexes(dir.str(), "C.DB");
    ASSERT_EQ(idx.size(), 2u);
    EXPECT_EQ(keys(idx[1]), std::vector<int>{2});
}

TEST(ParadoxIndexes, FileNamesMatchInAnyLetterCase)
{
    test::TempDir dir;
    copyAs(dir, "pd-joins/C.DB", "c.db");
    copyAs(dir, "pd-joins/C.PX", "C.px");
    copyAs(dir, "pd-joins/C.X02", "c.x02");
    copyAs(dir, "pd-joins/C.Y02", "C.Y02");
    const auto idx = readIndexes(dir.str(), "C.DB");
    ASSERT_EQ(idx.size(), 2u);
    EXPECT_EQ(keys(idx[1]), std::vector<int>{2});
}

TEST(ParadoxIndexes, SingleFieldIndexesFollowTheirFieldWhateverTheExtensionDigits)
{
    // Fields from 10 on may carry a hexadecimal extension; the X header names the field.
    test::TempDir dir;
    copyAs(dir, "pd-joins/C.DB", "C.DB");
    copyAs(dir, "pd-joins/C.X02", "C.X0A");
    copyAs(dir, "pd-joins/C.Y02", "C.Y0A");
    copyAs(dir, "pd-joins/C.X03", "C.X03");
    copyAs(dir, "pd-joins/C.Y03", "C.Y03");
    const auto idx = readIndexes(dir.str(), "C.DB");
    ASSERT_EQ(idx.size(), 3u);
    EXPECT_EQ(keys(idx[1]), std::vector<int>{2});
    EXPECT_EQ(keys(idx[2]), std::vector<int>{3});
}

} // namespace
} // namespace morvane
