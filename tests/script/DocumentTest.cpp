#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "model/clvxTableDesc.h"
#include "script/TvxScriptDocument.h"
#include "script/TvxScriptTableList.h"
#include "stream/EvxStreamError.h"
#include "stream/TvxMemoryStream.h"
#include "support/TempDir.h"
#include "support/TestScript.h"
#include "support/TvxFailingStream.h"

using namespace morvane;
namespace fs = std::filesystem;

namespace {

using Bytes = std::vector<std::uint8_t>;

using Script = test::TestScript;

// Replays Create table commands into the table list, as the editor's AfterLoad does.
void Replay(Script& script, TvxScriptTableList& tables)
{
    script.AfterLoad = [&tables](TvxCommand& c) {
        if (c.Kind() == ckCreateTable)
            tables.AddTable(c.ParamText(CreateTableParam::Table), std::make_unique<TvxTableDesc>());
    };
}

TvxIndexDesc Index(const char* name, int field)
{
    TvxIndexDesc x;
    x.setName(name);
    x.setKeyFieldCount(1);
    x.setKeyField(0, field);
    return x;
}

// Opens a document held in memory as the editor does (commands replayed into a table list,
// then the descriptor records) and keeps what was loaded and the read error, if any.
struct Opened
{
    std::string error;
    std::int64_t offset = -1;
    Script script;
    TvxScriptTableList tables;
};

std::unique_ptr<Opened> OpenBytes(const Bytes& bytes)
{
    auto o = std::make_unique<Opened>();
    Replay(o->script, o->tables);
    TvxMemoryStream ms(bytes);
    try {
        ReadScriptDocument(ms, o->script, [&](TvxStream& s) { o->tables.ReadAllDescriptors(s); });
    } catch (const EReadError& e) {
        o->error = e.what();
        o->offset = e.Offset();
    }
    return o;
}

Bytes ReadAll(const fs::path& p)
{
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class DocumentTest : public ::testing::Test
{
protected:
    // Two tables, the second with an index and a check; commands for both.
    void Fill(Script& script, TvxScriptTableList& tables)
    {
        script.Add(ckAddAlias, {std::string(), std::string("STANDARD"), std::string("/dados")});
        script.Add(ckCreateTable, {std::string("CLI")});
        script.Add(ckCreateTable, {std::string("PEDIDOS")});
        script.Add(ckAddPassword, {std::string("PEDIDOS"), std::string("segr\xE9" "do")});
        tables.AddTable("CLI", std::make_unique<TvxTableDesc>());
        auto pedidos = std::make_unique<TvxTableDesc>();
        pedidos->SetIndexes({Index("", 1), Index("PorData", 2)});
        TvxValCheckDesc check;
        check.setFieldNumber(2);
        check.setRequired(true);
        pedidos->SetValChecks({check});
        tables.AddTable("PEDIDOS", std::move(pedidos));
    }

    test::TempDir temp_;
    const fs::path& dir_ = temp_.path();
};

} // namespace

TEST_F(DocumentTest, EmptyDocumentBytes)
{
    Script script;
    TvxScriptTableList tables;
    TvxMemoryStream ms;
    WriteScriptDocument(ms, "Morvane", script, [&](TvxStream& s) { tables.WriteAllDescriptors(s); });
    EXPECT_EQ(ms.Bytes(), (Bytes{6, 7, 'M', 'o', 'r', 'v', 'a', 'n', 'e', 6, 3, '1', '.', '0', 2, 0, 2, 0, 2, 0}));
}

TEST_F(DocumentTest, OneTableDocumentBytes)
{
    Script script;
    TvxScriptTableList tables;
    script.Add(ckCreateTable, {std::string("CLI")});
    tables.AddTable("CLI", std::make_unique<TvxTableDesc>());
    const fs::path file = dir_ / "um.vxscript";
    SaveScriptDocument(file.string(), "Morvane", script, tables);
    const Bytes expected{0x06, 0x07, 'M',  'o',  'r',  'v',  'a',  'n',  'e',  0x06, 0x03, 0x31, 0x2E,
                         0x30, 0x02, 0x00, 0x02, 0x01, 0x02, 0x02, 0x02, 0x01, 0x06, 0x03, 0x43, 0x4C,
                         0x49, 0x02, 0x01, 0x02, 0x00, 0x02, 0x00, 0x02, 0x00};
    EXPECT_EQ(ReadAll(file), expected);
    // Nothing but the document is left in the directory.
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 1);
}

TEST_F(DocumentTest, SaveAndOpenRoundTrip)
{
    Script script;
    TvxScriptTableList tables;
    Fill(script, tables);
    const std::string file = (dir_ / "doc.vxscript").string();
    SaveScriptDocument(file, "Morvane", script, tables);

    Script loaded;
    TvxScriptTableList rebuilt;
    Replay(loaded, rebuilt);
    EXPECT_TRUE(OpenScriptDocument(file, loaded, rebuilt));
    ASSERT_EQ(loaded.Count(), script.Count());
    for (int i = 0; i < script.Count(); ++i)
        EXPECT_TRUE(loaded.Command(i)->IsEqual(*script.Command(i))) << i;
    ASSERT_EQ(rebuilt.Count(), 2);
    const TvxTableDesc* p = rebuilt.TableAt(1);
    ASSERT_EQ(p->IndexCount(), 2);
    EXPECT_EQ(p->Indexes(), tables.TableAt(1)->Indexes());
    EXPECT_EQ(p->ValChecks(), tables.TableAt(1)->ValChecks());

    // Saving what was opened gives the same bytes.
    const std::string again = (dir_ / "again.vxscript").string();
    SaveScriptDocument(again, "Morvane", loaded, rebuilt);
    EXPECT_EQ(ReadAll(again), ReadAll(file));
}

TEST_F(DocumentTest, DescriptorsAreSkippedWhenTheTableCountDiffers)
{
    Script script;
    TvxScriptTableList tables;
    Fill(script, tables);
    script.Add(ckCreateTable, {std::string("TERCEIRA")}); // three tables by the commands, two records
    TvxMemoryStream ms;
    WriteScriptDocument(ms, "Morvane", script, [&](TvxStream& s) { tables.WriteAllDescriptors(s); });
    ms.SetPosition(0);

    Script loaded;
    TvxScriptTableList rebuilt;
    Replay(loaded, rebuilt);
    bool read = true;
    ReadScriptDocument(ms, loaded, [&](TvxStream& s) { read = rebuilt.ReadAllDescriptors(s); });
    EXPECT_FALSE(read);
    ASSERT_EQ(rebuilt.Count(), 3);
    EXPECT_EQ(rebuilt.TableAt(1)->IndexCount(), 0);
}

TEST_F(DocumentTest, TruncatedDocumentsFailAndKeepWhatWasLoaded)
{
    Script script;
    TvxScriptTableList tables;
    Fill(script, tables);
    TvxMemoryStream ms;
    WriteScriptDocument(ms, "Morvane", script, [&](TvxStream& s) { tables.WriteAllDescriptors(s); });
    const Bytes full = ms.Bytes();

    // Where each section ends.
    TvxMemoryStream commandsOnly;
    WriteScriptDocument(commandsOnly, "Morvane", script, nullptr);
    const std::size_t headerEnd = 16, commandsEnd = commandsOnly.Bytes().size();

    for (std::size_t len = 0; len < full.size(); len += (len < commandsEnd + 8 ? 1 : 97)) {
        const auto o = OpenBytes(Bytes(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(len)));
        EXPECT_EQ(o->error, "Stream read error") << "read a document cut at " << len;
        if (len <= headerEnd) {
            EXPECT_EQ(o->script.Count(), 0) << len;
        }
        if (len >= commandsEnd) {
            EXPECT_EQ(o->script.Count(), 4) << len;
            EXPECT_EQ(o->tables.Count(), 2) << len;
        } else {
            EXPECT_LT(o->script.Count(), 4) << len;
        }
    }
}

TEST_F(DocumentTest, DamagedCountsAndTags)
{
    Script script;
    TvxScriptTableList tables;
    Fill(script, tables);
    TvxMemoryStream ms;
    WriteScriptDocument(ms, "Morvane", script, [&](TvxStream& s) { tables.WriteAllDescriptors(s); });
    TvxMemoryStream commandsOnly;
    WriteScriptDocument(commandsOnly, "Morvane", script, nullptr);
    const std::size_t tablesAt = commandsOnly.Bytes().size();
    const Bytes full = ms.Bytes();
    ASSERT_EQ(full[tablesAt], 2);
    ASSERT_EQ(full[tablesAt + 1], 2);

    {
        // Validity-check count of the first table raised to 300 (tag 3): refused, nothing read
        // into that table.
        Bytes b(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(tablesAt + 2));
        const Bytes bad{3, 0x2C, 0x01};
        b.insert(b.end(), bad.begin(), bad.end());
        b.insert(b.end(), full.begin() + static_cast<std::ptrdiff_t>(tablesAt + 4), full.end());
        const auto o = OpenBytes(b);
        EXPECT_EQ(o->error, "Record count out of range");
        EXPECT_EQ(o->offset, static_cast<std::int64_t>(tablesAt + 2));
        EXPECT_EQ(o->script.Count(), 4);
        EXPECT_EQ(o->tables.TableAt(0)->ValCheckCount(), 0);
    }
    {
        // A string where the table count is expected.
        Bytes b = full;
        b[tablesAt] = 6;
        const auto o = OpenBytes(b);
        EXPECT_EQ(o->error, "Invalid property value");
        EXPECT_EQ(o->script.Count(), 4);
    }
    {
        // A huge long-string length in the header.
        Bytes b{12, 0xF0, 0xFF, 0xFF, 0x7F, 'M'};
        Script loaded;
        TvxMemoryStream damaged(b);
        EXPECT_THROW(ReadScriptDocument(damaged, loaded, nullptr), EReadError);
    }
}

TEST_F(DocumentTest, FailedSaveLeavesThePreviousDocument)
{
    Script script;
    TvxScriptTableList tables;
    Fill(script, tables);
    const fs::path file = dir_ / "doc.vxscript";
    SaveScriptDocument(file.string(), "Morvane", script, tables);
    const Bytes before = ReadAll(file);

    script.Add(ckCreateTable, {std::string("NOVA")});
    // The tables section fails after writing part of its bytes.
    EXPECT_THROW(SaveScriptDocument(file.string(), "Morvane", script,
                                    [&](TvxStream& s) {
                                        TvxFailingStream failing(s, 10);
                                        tables.WriteAllDescriptors(failing);
                                    }),
                 EWriteError);
    EXPECT_EQ(ReadAll(file), before);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 1);

    // A directory that does not exist: the error names the file.
    const std::string nowhere = (dir_ / "falta" / "doc.vxscript").string();
    try {
        SaveScriptDocument(nowhere, "Morvane", script, tables);
        FAIL();
    } catch (const EFCreateError& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot create file " + nowhere);
    }
}

// Saving through a symbolic link replaces the file it points to and keeps the link.
TEST_F(DocumentTest, SaveThroughALinkKeepsTheLink)
{
    Script script;
    TvxScriptTableList tables;
    Fill(script, tables);
    fs::create_directories(dir_ / "real");
    const fs::path real = dir_ / "real" / "doc.vxscript";
    const fs::path link = dir_ / "link.vxscript";
    SaveScriptDocument(real.string(), "Morvane", script, tables);
    fs::create_symlink(fs::path("real") / "doc.vxscript", link);

    script.Add(ckCreateTable, {std::string("NOVA")});
    tables.AddTable("NOVA", std::make_unique<TvxTableDesc>());
    SaveScriptDocument(link.string(), "Morvane", script, tables);
    EXPECT_TRUE(fs::is_symlink(fs::symlink_status(link)));
    TvxMemoryStream expected;
    WriteScriptDocument(expected, "Morvane", script, [&](TvxStream& s) { tables.WriteAllDescriptors(s); });
    EXPECT_EQ(ReadAll(real), expected.Bytes());
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 2);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_ / "real"), fs::directory_iterator()), 1);
}

TEST_F(DocumentTest, EveryShortWriteIsReported)
{
    Script script;
    TvxScriptTableList tables;
    Fill(script, tables);
    TvxMemoryStream whole;
    WriteScriptDocument(whole, "Morvane", script, [&](TvxStream& s) { tables.WriteAllDescriptors(s); });
    for (std::uint64_t limit = 0; limit < whole.Bytes().size(); limit += 37) {
        TvxMemoryStream inner;
        TvxFailingStream failing(inner, limit);
        EXPECT_THROW(
            WriteScriptDocument(failing, "Morvane", script, [&](TvxStream& s) { tables.WriteAllDescriptors(s); }),
            EWriteError)
            << limit;
    }
}

TEST_F(DocumentTest, OpenMissingFile)
{
    Script loaded;
    TvxScriptTableList rebuilt;
    const std::string missing = (dir_ / "nada.vxscript").string();
    try {
        OpenScriptDocument(missing, loaded, rebuilt);
        FAIL();
    } catch (const EFOpenError& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot open file " + missing);
    }
}
