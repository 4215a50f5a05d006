#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "stream/EvxStreamError.h"
#include "stream/TReader.h"
#include "stream/TWriter.h"
#include "support/TvxFailingStream.h"
#include "stream/TvxMemoryStream.h"

using namespace morvane;

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes WriteInteger(std::int32_t v)
{
    TvxMemoryStream ms;
    {
        TWriter w(ms);
        w.PutInteger(v);
    }
    return ms.Bytes();
}

std::int32_t ReadInteger(const Bytes& bytes)
{
    TvxMemoryStream ms(bytes);
    TReader r(ms);
    return r.GetInteger();
}

template <typename F>
EReadError CatchRead(F&& f)
{
    try {
        f();
    } catch (const EReadError& e) {
        return e;
    }
    ADD_FAILURE() << "no EReadError";
    return EReadError("none");
}

} // namespace

TEST(WriterReader, IntegersTakeTheShortestTag)
{
    EXPECT_EQ(WriteInteger(0), (Bytes{2, 0x00}));
    EXPECT_EQ(WriteInteger(127), (Bytes{2, 0x7F}));
    EXPECT_EQ(WriteInteger(-128), (Bytes{2, 0x80}));
    EXPECT_EQ(WriteInteger(128), (Bytes{3, 0x80, 0x00}));
    EXPECT_EQ(WriteInteger(-129), (Bytes{3, 0x7F, 0xFF}));
    EXPECT_EQ(WriteInteger(32767), (Bytes{3, 0xFF, 0x7F}));
    EXPECT_EQ(WriteInteger(32768), (Bytes{4, 0x00, 0x80, 0x00, 0x00}));
    EXPECT_EQ(WriteInteger(-32769), (Bytes{4, 0xFF, 0x7F, 0xFF, 0xFF}));
    EXPECT_EQ(WriteInteger(INT32_MIN), (Bytes{4, 0x00, 0x00, 0x00, 0x80}));
    for (std::int32_t v : {0, 1, -1, 127, 128, -128, -129, 32767, 32768, -32768, -32769, INT32_MAX, INT32_MIN})
        EXPECT_EQ(ReadInteger(WriteInteger(v)), v) << v;
}

TEST(WriterReader, StringsSwitchToLongFormAt256)
{
    TvxMemoryStream ms;
    const std::string s255(255, 'a'), s256(256, 'b');
    {
        TWriter w(ms);
        w.PutString("");
        w.PutString(s255);
        w.PutString(s256);
    }
    const Bytes& b = ms.Bytes();
    ASSERT_EQ(b.size(), 2u + 257u + 261u);
    EXPECT_EQ(b[0], 6);
    EXPECT_EQ(b[1], 0);
    EXPECT_EQ(b[2], 6);
    EXPECT_EQ(b[3], 0xFF);
    EXPECT_EQ(b[259], 12);
    EXPECT_EQ((Bytes{b.begin() + 260, b.begin() + 264}), (Bytes{0x00, 0x01, 0x00, 0x00}));

    ms.SetPosition(0);
    TReader r(ms);
    EXPECT_EQ(r.GetString(), "");
    EXPECT_EQ(r.GetString(), s255);
    EXPECT_EQ(r.GetString(), s256);
}

TEST(WriterReader, BooleansAndBlocks)
{
    TvxMemoryStream ms;
    const std::uint8_t raw[3] = {0xAA, 0x00, 0x55};
    {
        TWriter w(ms);
        w.PutBoolean(false);
        w.PutBoolean(true);
        w.PutBlock(raw, 3);
    }
    EXPECT_EQ(ms.Bytes(), (Bytes{8, 9, 0xAA, 0x00, 0x55}));
    ms.SetPosition(0);
    TReader r(ms);
    EXPECT_FALSE(r.GetBoolean());
    EXPECT_EQ(r.NextTag(), 9);
    EXPECT_TRUE(r.GetBoolean());
    std::uint8_t back[3] = {};
    r.GetBlock(back, 3);
    EXPECT_EQ(Bytes(back, back + 3), Bytes(raw, raw + 3));
}

// The stream sees one call per full buffer, and the file holds exactly the bytes written once
// the writer is gone.
TEST(WriterReader, WriterHandsWholeBuffersToTheStream)
{
    TvxMemoryStream inner;
    TvxFailingStream counting(inner, TvxFailingStream::NoLimit);
    {
        TWriter w(counting);
        for (int i = 0; i < 1000; ++i)
            w.PutInteger(1000); // 3 bytes each
        EXPECT_EQ(counting.WriteCalls(), 2);
        EXPECT_EQ(inner.Bytes().size(), 2048u);
    }
    EXPECT_EQ(counting.WriteCalls(), 3);
    EXPECT_EQ(inner.Bytes().size(), 3000u);

    TvxFailingStream readCounting(inner, 0);
    inner.SetPosition(0);
    TReader r(readCounting);
    for (int i = 0; i < 1000; ++i)
        ASSERT_EQ(r.GetInteger(), 1000);
    EXPECT_EQ(readCounting.ReadCalls(), 3);
}

// Several sections, each by its own writer, read back by one reader each: every reader runs
// ahead into the next section and must hand the unread bytes back.
TEST(WriterReader, SectionsChainAcrossWritersAndReaders)
{
    TvxMemoryStream ms;
    const std::string big(1500, 'x');
    {
        TWriter w(ms);
        w.PutString("Morvane");
        w.PutString("1.0");
    }
    {
        TWriter w(ms);
        w.PutInteger(0);
    }
    {
        TWriter w(ms);
        w.PutString(big);
        w.PutInteger(-70000);
    }
    {
        TWriter w(ms);
        w.PutInteger(42);
    }
    ms.SetPosition(0);
    {
        TReader r(ms);
        EXPECT_EQ(r.GetString(), "Morvane");
        EXPECT_EQ(r.GetString(), "1.0");
    }
    EXPECT_EQ(ms.Position(), 2 + 7 + 2 + 3);
    {
        TReader r(ms);
        EXPECT_EQ(r.GetInteger(), 0);
    }
    {
        TReader r(ms);
        EXPECT_EQ(r.GetString(), big);
        EXPECT_EQ(r.GetInteger(), -70000);
    }
    {
        TReader r(ms);
        EXPECT_EQ(r.GetInteger(), 42);
    }
    EXPECT_EQ(ms.Position(), ms.Size());
}

TEST(WriterReader, ReadErrors)
{
    {
        // End of the stream in the middle of a 4-byte integer.
        TvxMemoryStream ms(Bytes{4, 0x01, 0x02});
        TReader r(ms);
        const EReadError e = CatchRead([&] { r.GetInteger(); });
        EXPECT_STREQ(e.what(), "Stream read error");
        EXPECT_EQ(e.Offset(), 3);
    }
    {
        // A string where an integer is expected: only the tag is consumed.
        TvxMemoryStream ms(Bytes{2, 5, 6, 1, 'A'});
        {
            TReader r(ms);
            EXPECT_EQ(r.GetInteger(), 5);
            const EReadError e = CatchRead([&] { r.GetInteger(); });
            EXPECT_STREQ(e.what(), "Invalid property value");
            EXPECT_EQ(e.Offset(), 2);
        }
        EXPECT_EQ(ms.Position(), 3);
    }
    {
        TvxMemoryStream ms(Bytes{2, 5});
        TReader r(ms);
        EXPECT_STREQ(CatchRead([&] { r.GetString(); }).what(), "Invalid property value");
    }
    {
        TvxMemoryStream empty;
        TReader r(empty);
        EXPECT_STREQ(CatchRead([&] { r.ReadTag(); }).what(), "Stream read error");
    }
}

TEST(WriterReader, HugeStringLengthsFailBeforeAllocating)
{
    {
        TvxMemoryStream ms(Bytes{12, 0xFF, 0xFF, 0xFF, 0x7F, 'a', 'b'});
        TReader r(ms);
        EXPECT_STREQ(CatchRead([&] { r.GetString(); }).what(), "Stream read error");
    }
    {
        TvxMemoryStream ms(Bytes{12, 0xFF, 0xFF, 0xFF, 0xFF});
        TReader r(ms);
        EXPECT_STREQ(CatchRead([&] { r.GetString(); }).what(), "Stream read error");
    }
    {
        TvxMemoryStream ms(Bytes{6, 10, 'a', 'b'});
        TReader r(ms);
        EXPECT_STREQ(CatchRead([&] { r.GetString(); }).what(), "Stream read error");
    }
    {
        // A long length that fits exactly is fine.
        Bytes b{12, 3, 0, 0, 0, 'a', 'b', 'c'};
        TvxMemoryStream ms(b);
        TReader r(ms);
        EXPECT_EQ(r.GetString(), "abc");
    }
}

TEST(WriterReader, ExtendedPayload)
{
    // 1.5 as an 80-bit extended: mantissa C000000000000000, exponent 3FFF.
    TvxMemoryStream ms(Bytes{0, 0, 0, 0, 0, 0, 0, 0xC0, 0xFF, 0x3F, 0, 0, 0, 0, 0, 0, 0, 0x80, 0x00, 0xC0});
    TReader r(ms);
    EXPECT_DOUBLE_EQ(r.GetExtendedPayload(), 1.5);
    EXPECT_DOUBLE_EQ(r.GetExtendedPayload(), -2.0);
}

TEST(WriterReader, WriteErrors)
{
    {
        // The medium refuses part of the final buffer.
        TvxMemoryStream inner;
        TvxFailingStream failing(inner, 3);
        TWriter w(failing);
        w.PutString("abcdef");
        try {
            w.Flush();
            FAIL() << "no EWriteError";
        } catch (const EWriteError& e) {
            EXPECT_STREQ(e.what(), "Stream write error");
        }
    }
    {
        // A later section's writer names where its refused bytes would have gone.
        TvxMemoryStream inner;
        TvxFailingStream failing(inner, 12);
        {
            TWriter first(failing);
            first.PutString("Morvane"); // 9 bytes
            first.Flush();
        }
        TWriter second(failing);
        second.PutString("1.0"); // 5 bytes, 3 of them stored
        try {
            second.Flush();
            FAIL() << "no EWriteError";
        } catch (const EWriteError& e) {
            EXPECT_EQ(e.Offset(), 9);
        }
        EXPECT_EQ(inner.Bytes().size(), 12u);
    }
    {
        // A full buffer is refused while more values come.
        TvxMemoryStream inner;
        TvxFailingStream failing(inner, 100);
        TWriter w(failing);
        EXPECT_THROW(
            {
                for (int i = 0; i < 1000; ++i)
                    w.PutInteger(i);
            },
            EWriteError);
    }
    {
        // A writer destroyed during unwinding still hands its bytes to the stream.
        TvxMemoryStream ms;
        try {
            TWriter w(ms);
            w.PutInteger(7);
            throw std::runtime_error("abort");
        } catch (const std::runtime_error&) {
        }
        EXPECT_EQ(ms.Bytes(), (Bytes{2, 7}));
    }
}
