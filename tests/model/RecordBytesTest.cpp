#include <gtest/gtest.h>

#include "model/TvxCursorProps.h"
#include "model/TvxFieldDesc.h"
#include "model/TvxIndexDesc.h"
#include "model/TvxRefIntDesc.h"
#include "model/TvxValCheckDesc.h"

using namespace morvane;

TEST(RecordBytes, FlagsWriteMinusOneAndReadAnyNonZero)
{
    TvxIndexDesc idx;
    idx.setPrimary(true);
    EXPECT_EQ(idx.bytes()[327], 0xFF);
    EXPECT_EQ(idx.bytes()[328], 0xFF);
    idx.bytes()[327] = 0;
    idx.bytes()[328] = 0x01;
    EXPECT_TRUE(idx.primary());
    idx.setPrimary(false);
    EXPECT_FALSE(idx.primary());
}

TEST(RecordBytes, TextsAreCutToWidthLessTwoAndZeroFilled)
{
    TvxFieldDesc f;
    f.bytes().fill(0xAA);
    f.setName(std::string(40, 'x'));
    EXPECT_EQ(f.name(), std::string(30, 'x'));
    for (std::size_t i = 2 + 30; i < 2 + 32; ++i)
        EXPECT_EQ(f.bytes()[i], 0) << i;
    EXPECT_EQ(f.bytes()[34], 0xAA); // the type code after the name is untouched

    TvxCursorProps cp;
    cp.setTableName("CUSTOMER");
    cp.setTableLevel(7);
    cp.setBlockSizeKb(2);
    EXPECT_EQ(cp.bytes()[0], 'C');
    EXPECT_EQ(cp.bytes()[351], 7);
    EXPECT_EQ(cp.bytes()[387], 2);
}

TEST(RecordBytes, LittleEndianAtDocumentedOffsets)
{
    TvxRefIntDesc r;
    r.setKind(TvxRefIntDesc::Dependent);
    r.setUpdateRule(TvxRefIntDesc::Cascade);
    r.setThisField(15, 0x1234);
    EXPECT_EQ(r.bytes()[34], 1);
    EXPECT_EQ(r.bytes()[299], 1);
    EXPECT_EQ(r.bytes()[309 + 30], 0x34);
    EXPECT_EQ(r.bytes()[309 + 31], 0x12);

    TvxValCheckDesc v;
    v.setPicture(std::string(200, 'p'));
    EXPECT_EQ(v.picture().size(), 174u);
    EXPECT_EQ(v.minimum() - v.data(), 10);
    EXPECT_EQ(v.defaultValue() - v.data(), 522);
}
