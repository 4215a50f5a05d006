#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "script/EvxAbort.h"
#include "script/cpvxScriptLoader.h"
#include "script/vxCommandText.h"
#include "stream/EvxStreamError.h"
#include "stream/TReader.h"
#include "stream/TWriter.h"
#include "stream/TvxMemoryStream.h"
#include "support/TestScript.h"

using namespace morvane;

namespace {

using Bytes = std::vector<std::uint8_t>;

using Script = test::TestScript;

std::unique_ptr<TvxCommand> Table(const std::string& name)
{
    return std::make_unique<TvxCommand>(ckCreateTable, std::initializer_list<TvxValue>{name});
}

TvxMemoryStream Section(int n)
{
    Script s;
    for (int i = 0; i < n; ++i)
        s.Add(Table(std::string("T").append(std::to_string(i))));
    TvxMemoryStream ms;
    s.SaveToStream(ms);
    ms.SetPosition(0);
    return ms;
}

} // namespace

TEST(Loader, SaveWritesCountThenRecords)
{
    Script s;
    TvxMemoryStream empty;
    s.SaveToStream(empty);
    EXPECT_EQ(empty.Bytes(), (Bytes{2, 0}));

    s.Add(Table("CLI"));
    TvxMemoryStream one;
    s.SaveToStream(one);
    EXPECT_EQ(one.Bytes(), (Bytes{2, 1, 2, 2, 2, 1, 6, 3, 'C', 'L', 'I'}));
}

TEST(Loader, LoadAppendsAndAnnouncesEveryCommand)
{
    Script s;
    std::vector<std::string> seen;
    s.AfterLoad = [&](TvxCommand& c) { seen.push_back(CommandText(c)); };
    TvxMemoryStream ms = Section(3);
    s.LoadFromStream(ms);
    ASSERT_EQ(s.Count(), 3);
    EXPECT_EQ(seen, (std::vector<std::string>{"Create table ->  T0", "Create table ->  T1", "Create table ->  T2"}));
    EXPECT_EQ(ms.Position(), ms.Size());

    // Loading again without Clear leaves every command twice.
    ms.SetPosition(0);
    s.LoadFromStream(ms);
    ASSERT_EQ(s.Count(), 6);
    EXPECT_TRUE(s.Command(4)->IsEqual(*s.Command(1)));
    EXPECT_EQ(s.Command(6), nullptr);
    EXPECT_EQ(s.Command(-1), nullptr);
}

TEST(Loader, AbortInAfterLoadKeepsWhatWasLoaded)
{
    Script s;
    int calls = 0;
    s.AfterLoad = [&](TvxCommand&) {
        if (++calls == 3)
            throw EvxAbort();
    };
    TvxMemoryStream ms = Section(5);
    EXPECT_THROW(s.LoadFromStream(ms), EvxAbort);
    EXPECT_EQ(s.Count(), 3);
    EXPECT_EQ(s.Command(2)->ParamText(CreateTableParam::Table), "T2");
}

TEST(Loader, DamagedSectionsKeepTheCommandsReadBeforeTheFault)
{
    const Bytes full = Section(3).Bytes(); // 2 + 3 * 8 bytes
    ASSERT_EQ(full.size(), 26u);
    // Cut inside the count, the first command, the second command, the last byte.
    const std::pair<std::size_t, int> cuts[] = {{1, 0}, {5, 0}, {2 + 8 + 3, 1}, {25, 2}};
    for (const auto& [len, kept] : cuts) {
        Script s;
        TvxMemoryStream ms(Bytes(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(len)));
        try {
            s.LoadFromStream(ms);
            FAIL() << len;
        } catch (const EReadError& e) {
            EXPECT_STREQ(e.what(), "Stream read error") << len;
        }
        EXPECT_EQ(s.Count(), kept) << len;
    }
    {
        // A count beyond what follows: the commands present load, then the read fails.
        Bytes b{2, 100};
        b.insert(b.end(), full.begin() + 2, full.end());
        Script s;
        TvxMemoryStream ms(b);
        EXPECT_THROW(s.LoadFromStream(ms), EReadError);
        EXPECT_EQ(s.Count(), 3);
    }
    {
        // A string where the second command's kind should be.
        Bytes b = full;
        b[2 + 8] = 6;
        Script s;
        TvxMemoryStream ms(b);
        try {
            s.LoadFromStream(ms);
            FAIL();
        } catch (const EReadError& e) {
            EXPECT_STREQ(e.what(), "Invalid property value");
            EXPECT_EQ(e.Offset(), 10);
        }
        EXPECT_EQ(s.Count(), 1);
        EXPECT_EQ(ms.Position(), 11);
    }
    {
        // A negative count reads no command.
        Script s;
        TvxMemoryStream ms(Bytes{2, 0xFF});
        s.LoadFromStream(ms);
        EXPECT_EQ(s.Count(), 0);
    }
}

TEST(Loader, ClearRemovesTheTemporaryAliases)
{
    std::vector<std::string> deleted;
    {
        Script s;
        s.OnDeleteAlias = [&](const std::string& a) { deleted.push_back(a); };
        s.Add(ckAddNewAlias, {std::string(), std::string("STANDARD"), std::string("/novo")});
        s.Add(ckAddAlias, {std::string(), std::string("STANDARD"), std::string("/dados")});
        s.Add(ckAddAlias, {std::string("DADOS"), std::string("STANDARD"), std::string("/dados")});
        s.Add(ckAddNewAlias, {std::string("NOVO"), std::string("STANDARD"), std::string()});
        s.Add(Table(""));
        s.Clear();
        EXPECT_EQ(s.Count(), 0);
        EXPECT_EQ(deleted, (std::vector<std::string>{"vxNEW", "vxALIAS"}));
        s.Add(ckAddAlias, {std::string()});
    }
    // Destroying the loader clears it.
    EXPECT_EQ(deleted, (std::vector<std::string>{"vxNEW", "vxALIAS", "vxALIAS"}));

    // An engine failure stops Clear with the rest still in the script.
    Script s;
    s.Add(Table("A"));
    s.Add(ckAddAlias, {std::string()});
    s.Add(Table("B"));
    s.OnDeleteAlias = [](const std::string&) { throw std::runtime_error("engine"); };
    EXPECT_THROW(s.Clear(), std::runtime_error);
    ASSERT_EQ(s.Count(), 2);
    EXPECT_EQ(s.Command(0)->Kind(), ckAddAlias);
    s.OnDeleteAlias = nullptr;
}

TEST(Loader, ReplaceCommand)
{
    Script s;
    s.Add(Table("A"));
    s.Add(Table("B"));
    auto c = Table("C");
    EXPECT_FALSE(s.ReplaceCommand(2, std::move(c)));
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(s.Count(), 2);
    EXPECT_TRUE(s.ReplaceCommand(1, std::move(c)));
    EXPECT_EQ(s.Command(1)->ParamText(CreateTableParam::Table), "C");
    EXPECT_EQ(s.Count(), 2);
}
