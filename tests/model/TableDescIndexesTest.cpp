#include <gtest/gtest.h>

#include "TableDescFixtures.h"

using namespace morvane;
using namespace morvane::testing;

namespace {

std::vector<int> Keys(const TvxTableDesc& desc, int pos)
{
    std::vector<int> keys;
    const TvxIndexDesc* index = desc.GetIndex(pos);
    for (int k = 0; index && k < index->keyFieldCount() && k < 16; ++k)
        keys.push_back(index->keyField(k));
    return keys;
}

TvxTableDesc FiveFields()
{
    return MakeTable("T", {{"A", fldLong}, {"B", fldLong}, {"C", fldLong}, {"D", fldLong}, {"E", fldLong}});
}

} // namespace

TEST(TableDescIndexes, PrimaryKeyFieldsFollowCreationOrder)
{
    TvxTableDesc desc = FiveFields();
    ASSERT_EQ(desc.AddIndex(MakeIndex("NewIndex1")), vxOK);
    ASSERT_EQ(desc.RenameIndex(0, "primary"), vxOK);

    EXPECT_EQ(desc.AddIndexField(3, 0), vxErrPrimaryKeyOrder);
    EXPECT_EQ(desc.AddIndexField(1, 0), vxOK);
    EXPECT_EQ(desc.AddIndexField(1, 0), vxErrPrimaryKeyOrder);
    EXPECT_EQ(desc.AddIndexField(2, 0), vxOK);
    EXPECT_EQ(desc.AddIndexField(3, 0), vxOK);
    EXPECT_EQ(desc.AddIndexField(5, 0), vxErrPrimaryKeyOrder);
    EXPECT_EQ(Keys(desc, 0), (std::vector<int>{1, 2, 3}));

    // Only the last field of a primary key may be taken out.
    EXPECT_EQ(desc.RemoveIndexField(0, 0), vxErrPrimaryKeyOrder);
    EXPECT_EQ(desc.RemoveIndexField(1, 0), vxErrPrimaryKeyOrder);
    EXPECT_EQ(desc.RemoveIndexField(2, 0), vxOK);
    EXPECT_EQ(Keys(desc, 0), (std::vector<int>{1, 2}));
    EXPECT_EQ(desc.GetIndex(0)->keyField(2), 0);
    EXPECT_TRUE(desc.PrimaryKeyReaches(2));
    EXPECT_FALSE(desc.PrimaryKeyReaches(3));

    // A secondary index loses any key field; the others move down.
    desc.AddIndex(MakeIndex("S", {4, 2, 5}));
    EXPECT_EQ(desc.RemoveIndexField(0, 1), vxOK);
    EXPECT_EQ(Keys(desc, 1), (std::vector<int>{2, 5}));
}

TEST(TableDescIndexes, ConvertingToPrimaryNeedsKeysInCreationOrder)
{
    TvxTableDesc desc = FiveFields();
    desc.AddIndex(MakeIndex("I23", {2, 3}));
    EXPECT_EQ(desc.RenameIndex(0, "Primary"), vxErrPrimaryKeyConvert);
    EXPECT_FALSE(desc.HasPrimaryKey());

    TvxIndexDesc flagged = MakeIndex("I12", {1, 2});
    flagged.setDescending(true);
    flagged.setCaseInsensitive(true);
    flagged.setSubset(true);
    desc.AddIndex(flagged);
    ASSERT_EQ(desc.RenameIndex(1, "PRIMARY"), vxOK);
    const TvxIndexDesc& pk = *desc.GetIndex(1);
    EXPECT_TRUE(pk.primary());
    EXPECT_TRUE(pk.unique());
    EXPECT_TRUE(pk.maintained());
    EXPECT_FALSE(pk.descending());
    EXPECT_FALSE(pk.caseInsensitive());
    EXPECT_FALSE(pk.subset());
    EXPECT_EQ(pk.name(), "");
    EXPECT_EQ(pk.id(), 0);
    EXPECT_TRUE(desc.IsPrimary(1));
    EXPECT_FALSE(desc.IsPrimary(0));
    EXPECT_FALSE(desc.IsPrimary(7));

    // Found as "PRIMARY" by FindIndex, not by IndexPosByName.
    EXPECT_EQ(desc.FindIndex("primary"), 1);
    EXPECT_EQ(desc.IndexPosByName("PRIMARY"), -1);
    EXPECT_EQ(desc.FindIndex("i23"), 0);
    EXPECT_TRUE(desc.IndexExists("I23"));
    EXPECT_FALSE(desc.IndexExists("I24"));
}

TEST(TableDescIndexes, RenameRules)
{
    TvxTableDesc desc = FiveFields();
    desc.AddIndex(MakeIndex("NOME", {2}));
    desc.AddIndex(MakeIndex("OUTRO", {3}));
    EXPECT_EQ(desc.RenameIndex(1, "OUTRO"), vxErrIndexSameName);
    EXPECT_EQ(desc.RenameIndex(1, ""), vxErrIndexNameEmpty);
    EXPECT_EQ(desc.RenameIndex(5, "X"), vxErrIndexPosOut);

    // The cut name is compared: a longer text whose first 259 characters are the name is the same.
    const std::string longName(259, 'L');
    ASSERT_EQ(desc.RenameIndex(1, longName), vxOK);
    EXPECT_EQ(desc.RenameIndex(1, longName + "MORE"), vxErrIndexSameName);

    ASSERT_EQ(desc.RenameIndex(1, "PRIMARY"), vxErrPrimaryKeyConvert);
    desc.AddIndex(MakeIndex("", {1}, true));
    ASSERT_EQ(desc.RenameIndex(2, "CHAVE"), vxOK);
    EXPECT_EQ(desc.GetIndex(2)->name(), "CHAVE");
    EXPECT_FALSE(desc.GetIndex(2)->primary());
    EXPECT_EQ(desc.GetIndex(2)->id(), 2);
}

TEST(TableDescIndexes, LimitsOfKeyFieldsAndIndexes)
{
    TvxTableDesc desc;
    for (int i = 0; i < 20; ++i)
        desc.InsertField(MakeField(Numbered("F", i), i + 1, fldLong), i);
    desc.AddIndex(MakeIndex("BIG"));
    for (int no = 1; no <= 16; ++no)
        ASSERT_EQ(desc.AddIndexField(no, 0), vxOK);
    EXPECT_EQ(desc.AddIndexField(17, 0), vxErrIndexMaxFields);
    EXPECT_EQ(desc.GetIndex(0)->keyFieldCount(), 16);

    // A damaged key count is taken as a full index, never as a slot past the 16.
    desc.IndexAt(0).setKeyFieldCount(300);
    EXPECT_EQ(desc.AddIndexField(17, 0), vxErrIndexMaxFields);
    EXPECT_EQ(desc.RemoveIndexField(15, 0), vxOK);
    EXPECT_EQ(desc.GetIndex(0)->keyFieldCount(), 15);

    // Ids: 1 for the first, 2 once some index holds id 1.
    EXPECT_EQ(desc.GetIndex(0)->id(), 1);
    desc.AddIndex(MakeIndex("SECOND"));
    EXPECT_EQ(desc.GetIndex(1)->id(), 2);

    while (desc.IndexCount() < 255)
        ASSERT_EQ(desc.AddIndex(MakeIndex(desc.NewIndexName())), vxOK);
    EXPECT_EQ(desc.AddIndex(MakeIndex("ONE_MORE")), vxErrMaxIndexes);
    EXPECT_EQ(desc.IndexCount(), 255);
    EXPECT_FALSE(desc.IndexExists("ONE_MORE"));
}

TEST(TableDescIndexes, FieldsThatCannotBeIndexed)
{
    TvxTableDesc desc = MakeTable("T", {{"A", fldLong}, {"OBS", fldMemo}, {"FOTO", fldGraphic}, {"B", fldBytes}});
    desc.AddIndex(MakeIndex("I"));
    EXPECT_EQ(desc.AddIndexField(2, 0), vxErrFieldTypeNotIndexable);
    EXPECT_EQ(desc.AddIndexField(3, 0), vxErrFieldTypeNotIndexable);
    EXPECT_EQ(desc.AddIndexField(4, 0), vxOK);
    // Numbers and positions outside the table are refused before anything is touched.
    EXPECT_EQ(desc.AddIndexField(0, 0), vxErrFieldPosOut);
    EXPECT_EQ(desc.AddIndexField(5, 0), vxErrFieldPosOut);
    EXPECT_EQ(desc.AddIndexField(1, 1), vxErrIndexPosOut);
    EXPECT_EQ(desc.AddIndexField(1, -1), vxErrIndexPosOut);
    EXPECT_EQ(desc.RemoveIndexField(4, 0), vxErrFieldPosOut);
    EXPECT_EQ(desc.RemoveIndexField(0, 3), vxErrIndexPosOut);
    EXPECT_EQ(desc.RemoveIndexField(1, 0), vxErrFieldPosOut); // past the index's one key field
    EXPECT_EQ(Keys(desc, 0), (std::vector<int>{4}));
}

TEST(TableDescIndexes, SwapDeleteAndNames)
{
    TvxTableDesc desc = FiveFields();
    desc.AddIndex(MakeIndex("I", {3, 1, 5}));
    EXPECT_EQ(desc.SwapIndexFields(0, 0, 2), vxOK);
    EXPECT_EQ(Keys(desc, 0), (std::vector<int>{5, 1, 3}));
    EXPECT_EQ(desc.SwapIndexFields(0, 1, 1), vxOK);
    // Positions outside the key are ignored: the key never takes a 0.
    EXPECT_EQ(desc.SwapIndexFields(0, 0, 3), vxOK);
    EXPECT_EQ(desc.SwapIndexFields(0, -1, 0), vxOK);
    EXPECT_EQ(desc.SwapIndexFields(4, 0, 1), vxOK);
    EXPECT_EQ(Keys(desc, 0), (std::vector<int>{5, 1, 3}));

    EXPECT_EQ(desc.NewIndexName(), "NewIndex1");
    desc.AddIndex(MakeIndex("newindex1"));
    desc.AddIndex(MakeIndex("NewIndex3"));
    EXPECT_EQ(desc.NewIndexName(), "NewIndex2");

    EXPECT_EQ(desc.DeleteIndex(9), vxOK);
    EXPECT_EQ(desc.IndexCount(), 3);
    EXPECT_EQ(desc.DeleteIndex(0), vxOK);
    EXPECT_EQ(desc.IndexCount(), 2);
    EXPECT_EQ(desc.GetIndex(0)->name(), "newindex1");
    EXPECT_EQ(static_cast<int>(desc.Indexes().size()), desc.CursorProps().indexCount());
}

TEST(TableDescIndexes, IndexesUnderARuleAreProtected)
{
    TvxTableDesc desc = FiveFields();
    AddPrimaryKey(desc, 1);
    desc.AddIndex(MakeIndex("CARRIER", {2, 3}));
    desc.AddIndex(MakeIndex("FREE", {4}));
    desc.AddIndex(MakeIndex("EMPTY"));
    // A rule with no fields yet protects only the primary key.
    desc.AddRefInt(MakeRule("R"));
    EXPECT_EQ(desc.CheckIndexInUse(3), vxOK);
    EXPECT_EQ(desc.AddIndexField(5, 3), vxOK);

    TvxRefIntDesc& rule = desc.RefIntAt(0);
    rule.setFieldCount(2);
    rule.setThisField(0, 2);
    rule.setThisField(1, 3);

    EXPECT_EQ(desc.CheckIndexInUse(0), vxErrNeedsPrimaryKey);
    EXPECT_EQ(desc.AddIndexField(2, 0), vxErrNeedsPrimaryKey);
    EXPECT_EQ(desc.RemoveIndexField(0, 0), vxErrNeedsPrimaryKey);
    EXPECT_EQ(desc.SwapIndexFields(0, 0, 0), vxErrNeedsPrimaryKey);
    EXPECT_EQ(desc.RenameIndex(0, "X"), vxErrNeedsPrimaryKey);
    EXPECT_EQ(desc.DeleteIndex(0), vxErrNeedsPrimaryKey);

    EXPECT_EQ(desc.CheckIndexInUse(1), vxErrIndexUsedByRefInt);
    EXPECT_EQ(desc.AddIndexField(4, 1), vxErrIndexUsedByRefInt);
    EXPECT_EQ(desc.RemoveIndexField(1, 1), vxErrIndexUsedByRefInt);
    EXPECT_EQ(desc.SwapIndexFields(1, 0, 1), vxErrIndexUsedByRefInt);
    EXPECT_EQ(desc.RenameIndex(1, "Y"), vxErrIndexUsedByRefInt);
    EXPECT_EQ(desc.DeleteIndex(1), vxErrIndexUsedByRefInt);
    EXPECT_EQ(desc.IndexCount(), 4);
    EXPECT_EQ(Keys(desc, 1), (std::vector<int>{2, 3}));

    EXPECT_EQ(desc.CheckIndexInUse(2), vxOK);
    EXPECT_EQ(desc.RenameIndex(2, "LIVRE"), vxOK);
    EXPECT_EQ(desc.DeleteIndex(2), vxOK);
}
