#include <gtest/gtest.h>

#include <vector>

#include "model/clvxTableDesc.h"
#include "model/clvxTableDescStream.h"
#include "stream/EvxStreamError.h"
#include "stream/TReader.h"
#include "stream/TWriter.h"
#include "stream/TvxMemoryStream.h"

using namespace morvane;

namespace {

using Bytes = std::vector<std::uint8_t>;

template <typename F>
Bytes Written(F&& write)
{
    TvxMemoryStream ms;
    {
        TWriter w(ms);
        write(w);
    }
    return ms.Bytes();
}

TvxTableDesc Sample()
{
    TvxTableDesc d;
    d.TableList().setTableName("PEDIDOS.DB");
    d.TableList().setFileName("PEDIDOS.DB");
    std::vector<TvxFieldDesc> fields(3);
    for (int i = 0; i < 3; ++i) {
        fields[static_cast<std::size_t>(i)].setFieldNumber(i + 1);
        fields[static_cast<std::size_t>(i)].setName(std::string(1, static_cast<char>('A' + i)));
        fields[static_cast<std::size_t>(i)].setType(257 + i);
    }
    d.SetFields(fields);
    TvxValCheckDesc c;
    c.setFieldNumber(2);
    c.setRequired(true);
    c.setPicture("###");
    d.SetValChecks({c});
    TvxRefIntDesc r;
    r.setName("REGRA");
    r.setOtherTable("CLI.DB");
    r.setFieldCount(1);
    r.setThisField(0, 2);
    r.setOtherField(0, 1);
    d.SetRefInts({r});
    TvxIndexDesc x1, x2;
    x1.setPrimary(true);
    x1.setKeyFieldCount(1);
    x1.setKeyField(0, 1);
    x2.setName("PorB");
    x2.setKeyFieldCount(1);
    x2.setKeyField(0, 2);
    d.SetIndexes({x1, x2});
    return d;
}

} // namespace

TEST(TableDescStream, EmptyDescriptorWritesThreeZeroCounts)
{
    TvxTableDesc d;
    EXPECT_EQ(Written([&](TWriter& w) { d.WriteDescriptors(w); }), (Bytes{2, 0, 2, 0, 2, 0}));
    const Bytes s = Written([&](TWriter& w) { d.WriteStructure(w); });
    ASSERT_EQ(s.size(), 574u + 2u + 6u);
    EXPECT_EQ((Bytes{s.begin() + 574, s.end()}), (Bytes{2, 0, 2, 0, 2, 0, 2, 0}));
}

TEST(TableDescStream, DescriptorRecordLayoutAndRoundTrip)
{
    const TvxTableDesc d = Sample();
    const Bytes b = Written([&](TWriter& w) { d.WriteDescriptors(w); });
    ASSERT_EQ(b.size(), 2 + 1219 + 2 + 373 + 2 + 2 * 893u);
    EXPECT_EQ(b[0], 2);
    EXPECT_EQ(b[1], 1);
    EXPECT_EQ(b[2 + 1219], 2);
    EXPECT_EQ(b[2 + 1219 + 1], 1);
    EXPECT_EQ(b[2 + 1219 + 2 + 373 + 1], 2);

    TvxTableDesc back;
    back.SetFields(d.Fields());
    TvxMemoryStream ms(b);
    {
        TReader r(ms);
        back.ReadDescriptors(r);
    }
    EXPECT_EQ(ms.Position(), ms.Size());
    EXPECT_EQ(back.ValChecks(), d.ValChecks());
    EXPECT_EQ(back.RefInts(), d.RefInts());
    EXPECT_EQ(back.Indexes(), d.Indexes());
    EXPECT_EQ(back.IndexCount(), 2);
    EXPECT_EQ(back.ValCheckCount(), 1);
    EXPECT_EQ(back.RefIntCount(), 1);
    EXPECT_EQ(Written([&](TWriter& w) { back.WriteDescriptors(w); }), b);
}

TEST(TableDescStream, OnlyTheCountedRecordsAreWritten)
{
    TvxTableDesc d = Sample();
    d.CursorProps().setIndexCount(1);
    d.CursorProps().setFieldCount(2);
    const Bytes b = Written([&](TWriter& w) { d.WriteStructure(w); });
    ASSERT_EQ(b.size(), 574 + 2 + 2 * 62 + 2 + 1219 + 2 + 373 + 2 + 893u);
    EXPECT_EQ(b[574 + 1], 2);
    EXPECT_EQ(b[b.size() - 893 - 1], 1);
}

TEST(TableDescStream, StructureRecordRoundTrip)
{
    const TvxTableDesc d = Sample();
    const Bytes b = Written([&](TWriter& w) { d.WriteStructure(w); });
    ASSERT_EQ(b.size(), 574 + 2 + 3 * 62 + 2 + 1219 + 2 + 373 + 2 + 2 * 893u);
    EXPECT_EQ(std::memcmp(b.data(), d.TableList().data(), 574), 0);

    TvxTableDesc back;
    TvxMemoryStream ms(b);
    TReader r(ms);
    ReadStructureRecord(r, back);
    EXPECT_EQ(back.TableList(), d.TableList());
    EXPECT_EQ(back.Fields(), d.Fields());
    EXPECT_EQ(back.FieldCount(), 3);
    EXPECT_EQ(Written([&](TWriter& w) { back.WriteStructure(w); }), b);
}

TEST(TableDescStream, DamagedRecordsLeaveTheDescriptorUnchanged)
{
    const TvxTableDesc original = Sample();
    const Bytes good = Written([&](TWriter& w) { original.WriteDescriptors(w); });

    auto readInto = [&](const Bytes& bytes, const char* message) {
        TvxTableDesc d = Sample();
        TvxMemoryStream ms(bytes);
        TReader r(ms);
        try {
            d.ReadDescriptors(r);
            ADD_FAILURE() << "no error";
        } catch (const EReadError& e) {
            EXPECT_STREQ(e.what(), message);
        }
        EXPECT_EQ(d.ValChecks(), original.ValChecks());
        EXPECT_EQ(d.RefInts(), original.RefInts());
        EXPECT_EQ(d.Indexes(), original.Indexes());
        EXPECT_EQ(d.IndexCount(), 2);
    };

    // Counts above 256 or below 0.
    readInto(Bytes{3, 0x01, 0x01}, "Record count out of range");
    readInto(Bytes{2, 0, 2, 0, 4, 0x00, 0x00, 0x00, 0x40}, "Record count out of range");
    readInto(Bytes{2, 0xFF}, "Record count out of range");
    // A count that the stream cannot hold.
    readInto(Bytes{3, 0x00, 0x01, 0, 0, 0}, "Stream read error");
    // Cut inside the last block.
    readInto(Bytes(good.begin(), good.end() - 1), "Stream read error");
    // A string where a count is expected.
    Bytes wrongTag = good;
    wrongTag[2 + 1219] = 6;
    readInto(wrongTag, "Invalid property value");
}

TEST(TableDescStream, TheLargestCountIsAccepted)
{
    std::vector<TvxValCheckDesc> checks(256);
    for (int i = 0; i < 256; ++i)
        checks[static_cast<std::size_t>(i)].setFieldNumber(i + 1);
    TvxTableDesc d;
    d.SetValChecks(checks);
    const Bytes b = Written([&](TWriter& w) { d.WriteDescriptors(w); });
    EXPECT_EQ((Bytes{b.begin(), b.begin() + 3}), (Bytes{3, 0x00, 0x01}));
    TvxTableDesc back;
    TvxMemoryStream ms(b);
    TReader r(ms);
    back.ReadDescriptors(r);
    EXPECT_EQ(back.ValChecks(), checks);
}
