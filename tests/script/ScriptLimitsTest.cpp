// What a script may hold (vxScriptLimits.h): documents that declare more commands or tables are
// refused with a clear error before anything is built for the excess; the builder refuses edits
// beyond the same bounds, so that every document it saves opens again. Reading a document asks
// the stream for its position and size once per section, not once per record.

#include "script/IvxScriptFileSink.h"
#include "script/TvxScriptDocument.h"
#include "script/TvxScriptReplayer.h"
#include "script/vxScriptFileReader.h"
#include "script/vxScriptLimits.h"
#include "stream/EvxStreamError.h"
#include "stream/TvxMemoryStream.h"
#include "stream/TWriter.h"

#include "BuilderFixture.h"
#include "support/TestScript.h"

namespace morvane::test {
namespace {

using Bytes = std::vector<std::uint8_t>;

std::string Named(const std::string& prefix, int n)
{
    std::string name = prefix;
    name += std::to_string(n);
    return name;
}

// A document header followed by a command count and the given command records.
Bytes DocumentWithCount(std::int32_t count, int records, const std::string& tableName = "T")
{
    TvxMemoryStream stream;
    {
        TWriter writer(stream);
        writer.PutString("Morvane");
        writer.PutString("1.0");
        writer.PutInteger(0);
        writer.PutInteger(count);
        for (int i = 0; i < records; ++i)
            TvxCommand(ckCreateTable, {Named(tableName, i)}).WriteTo(writer);
        writer.PutInteger(records);
        for (int i = 0; i < records; ++i)
            for (int k = 0; k < 3; ++k)
                writer.PutInteger(0);
        writer.Flush();
    }
    return stream.Bytes();
}

void ExpectReadError(const std::function<void()>& read, const char* message)
{
    try {
        read();
        ADD_FAILURE() << "read without error";
    } catch (const EReadError& e) {
        EXPECT_STREQ(e.what(), message);
    }
}

TEST(ScriptLimits, ACommandCountBeyondTheLimitIsRefusedBeforeAnyCommandIsBuilt)
{
    // One million Create table records declared (a few present): nothing is read or replayed.
    const Bytes doc = DocumentWithCount(1000000, 3);
    TvxMemoryStream stream(doc);
    TestScript script;
    int replayed = 0;
    script.AfterLoad = [&](TvxCommand&) { ++replayed; };
    ExpectReadError([&] { ReadScriptDocument(stream, script, {}); }, STooManyCommands);
    EXPECT_EQ(script.Count(), 0);
    EXPECT_EQ(replayed, 0);

    // The limit holds for the whole script: a second section may not take it beyond.
    TestScript full;
    for (int i = 0; i < MaxScriptCommands - 1; ++i)
        full.Add(ckAddPassword, {std::string("T"), std::string("pw")});
    TvxMemoryStream two(DocumentWithCount(2, 2));
    ExpectReadError([&] { ReadScriptDocument(two, full, {}); }, STooManyCommands);
    EXPECT_EQ(full.Count(), MaxScriptCommands - 1);
    TvxMemoryStream one(DocumentWithCount(1, 1));
    ReadScriptDocument(one, full, {});
    EXPECT_EQ(full.Count(), MaxScriptCommands);

    // The file walker refuses the same count, and a table count beyond the limit.
    struct Sink : IvxScriptFileSink
    {
        void Header(const TvxScriptFileVersion&, std::int32_t, bool, bool) override {}
        void CommandCount(std::int32_t) override {}
        void Command(std::int32_t, const TvxCommand&) override {}
        void TableCount(std::int32_t) override {}
        void Table(std::int32_t, const TvxTableDesc&, bool) override {}
    } sink;
    TvxMemoryStream walked(doc);
    ExpectReadError([&] { ReadScriptFile(walked, sink); }, STooManyCommands);
    Bytes manyTables = DocumentWithCount(0, 0);
    manyTables.resize(manyTables.size() - 2);     // the table count 0
    const Bytes count{4, 0x01, 0x10, 0x00, 0x00}; // 4097
    manyTables.insert(manyTables.end(), count.begin(), count.end());
    TvxMemoryStream tables(manyTables);
    ExpectReadError([&] { ReadScriptFile(tables, sink); }, STooManyTables);
}

TEST(ScriptLimits, ReplayingMoreTablesThanAStructureHoldsIsRefused)
{
    const Bytes doc = DocumentWithCount(MaxScriptTables + 1, MaxScriptTables + 1);
    TvxMemoryStream stream(doc);
    TvxScriptTableList list;
    TvxDBScript script;
    TvxScriptReplayer replayer(list, {});
    script.AfterLoad = [&](TvxCommand& c) { replayer.Apply(c); };
    ExpectReadError([&] { ReadScriptDocument(stream, script, {}); }, STooManyTables);
    EXPECT_EQ(list.Count(), MaxScriptTables);
    EXPECT_EQ(script.Count(), MaxScriptTables + 1); // the failing command stays, as for any failure
}

TEST_F(BuilderTest, EditsBeyondTheLimitsAreRefusedAndEverySavedScriptOpens)
{
    for (int i = 0; i < MaxScriptTables; ++i)
        ASSERT_EQ(CreateTable(Named("T", i)), 0);
    EXPECT_EQ(CreateTable("ONE_MORE"), vxMsgScriptFull);
    EXPECT_EQ(AddTable("ONE_MORE", SourceTable("SRC", {"A"})), vxMsgScriptFull);
    EXPECT_EQ(CreateTable("t0"), 0); // a name in use: ignored, as ever
    EXPECT_EQ(list.Count(), MaxScriptTables);

    while (script.Count() < MaxScriptCommands)
        ASSERT_EQ(Add(ckAddPassword, {std::string("T0"), std::string("pw")}), 0);
    EXPECT_EQ(Add(ckAddPassword, {std::string("T0"), std::string("pw")}), vxMsgScriptFull);
    list.SelectIndex(0);
    EXPECT_EQ(CreateField("T0", "A", 1), vxMsgScriptFull);
    EXPECT_EQ(list.FieldCount(), 0);
    // Edits that take something away still go through.
    EXPECT_EQ(Add(ckDeleteTable, {std::string("T0")}), 0);
    EXPECT_EQ(CreateTable("ONE_MORE"), 0);

    // A command with more parameters than the editor supplies could not be read back.
    auto tooMany = MakeCommand(ckCreateTable, {std::string("X"), std::string("Y")});
    EXPECT_THROW(script.AddCommand(tooMany), std::invalid_argument);

    TvxMemoryStream saved;
    WriteScriptDocument(saved, "Morvane", script, [&](TvxStream& s) { list.WriteAllDescriptors(s); });
    saved.SetPosition(0);
    TvxScriptTableList reopenedList;
    TvxDBScript reopened;
    TvxScriptReplayer replayer(reopenedList, {});
    reopened.AfterLoad = [&](TvxCommand& c) { replayer.Apply(c); };
    ReadScriptDocument(saved, reopened, [&](TvxStream& s) { EXPECT_TRUE(reopenedList.ReadAllDescriptors(s)); });
    EXPECT_EQ(reopened.Count(), script.Count());
    EXPECT_EQ(reopenedList.Count(), list.Count());
}

// A memory stream that counts how often it is asked to move.
class CountingStream : public TvxMemoryStream
{
public:
    using TvxMemoryStream::TvxMemoryStream;
    std::int64_t Seek(std::int64_t offset, TvxSeekOrigin origin) override
    {
        ++seeks;
        return TvxMemoryStream::Seek(offset, origin);
    }
    int seeks = 0;
};

TEST(ScriptLimits, ReadingADocumentSeeksPerSectionNotPerRecord)
{
    TvxScriptTableList list;
    TvxDBScript script;
    script.SetScriptTableList(&list);
    for (int t = 0; t < 200; ++t) {
        auto command = MakeCommand(ckCreateTable, {Named("T", t)});
        ASSERT_EQ(script.AddCommand(command), 0);
        auto field = MakeCommand(ckCreateField, {Named("T", t)});
        ASSERT_EQ(script.AddCommand(field, TvxCommandExtras::ForCreateField(MakeField("A", 1, fldLong), "")), 0);
        ASSERT_TRUE(list.AddValCheck("1", "9", list.Fields()[0], true, "", ""));
    }
    TvxMemoryStream saved;
    WriteScriptDocument(saved, "Morvane", script, [&](TvxStream& s) { list.WriteAllDescriptors(s); });

    CountingStream stream(saved.Bytes());
    TvxScriptTableList reopenedList;
    TvxDBScript reopened;
    TvxScriptReplayer replayer(reopenedList, {});
    reopened.AfterLoad = [&](TvxCommand& c) { replayer.Apply(c); };
    ReadScriptDocument(stream, reopened, [&](TvxStream& s) { ASSERT_TRUE(reopenedList.ReadAllDescriptors(s)); });
    ASSERT_EQ(reopenedList.Count(), 200);
    ASSERT_EQ(reopenedList.TableAt(199)->ValCheckCount(), 1);
    // Four sections (header strings, file kind, commands, tables); each may learn the stream's
    // position and size once and steps back over what it read ahead.
    EXPECT_LE(stream.seeks, 4 * 5);
}

} // namespace
} // namespace morvane::test
