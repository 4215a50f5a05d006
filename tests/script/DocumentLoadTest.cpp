// Opening a document below the window: the source database opened by its alias command before
// the tables it lends are looked for, 10027 stopping the loading, the script's own AfterLoad
// put back.

#include <gtest/gtest.h>

#include <filesystem>

#include "BuilderFixture.h"
#include "script/EvxAbort.h"
#include "script/TvxScriptDocument.h"
#include "script/TvxScriptReplayer.h"
#include "script/vxDocumentLoad.h"
#include "script/vxScriptCreate.h"
#include "stream/EvxStreamError.h"
#include "support/TempDir.h"

namespace morvane {
namespace {

class DocumentLoadTest : public test::BuilderTest
{
protected:
    void SetUp() override
    {
        BuilderTest::SetUp();
        ASSERT_EQ(Add(ckAddAlias, {"", "STANDARD", "/dados/velho"}), 0);
        ASSERT_EQ(Add(ckAddNewAlias, {"", "STANDARD", "/dados/novo"}), 0);
        ASSERT_EQ(CreateTable("CLI"), 0);
        ASSERT_EQ(CreateField("CLI", "NOME", 1), 0);
        ASSERT_EQ(AddTable("PED", test::SourceTable("PEDIDOS", {"NUM", "DATA"})), 0);
        ASSERT_EQ(DeleteField("PED", "DATA"), 0);
        ASSERT_EQ(Add(ckAddPassword, {"PED", "senha"}), 0);
        std::filesystem::create_directories(dir.path() / "v1.0");
        SaveScriptDocument(file, "Morvane", script, list);
        source = test::SourceTable("PEDIDOS", {"NUM", "DATA"});
    }

    // Loads the document; the source lends PEDIDOS only after its alias command was seen.
    TvxDocumentLoadResult Load(bool sourceHoldsPedidos = true)
    {
        replayer.OnSourceAlias = [&, sourceHoldsPedidos](const TvxCommand& c) {
            events.push_back("source " + c.ParamText(AliasParam::Directory));
            open = sourceHoldsPedidos;
        };
        replayer.OnTargetAlias = [&](const TvxCommand& c) {
            events.push_back("target " + c.ParamText(AliasParam::Directory));
        };
        return LoadScriptDocument(file, loaded, replayer);
    }

    test::TempDir dir;
    std::string file = dir.file("v1.0/doc.vxscript");
    std::unique_ptr<TvxTableDesc> source;
    bool open = false;
    std::vector<std::string> events;
    TvxScriptTableList loadedList;
    TvxDBScript loaded;
    TvxScriptReplayer replayer{loadedList, [this](std::string_view name) -> const TvxTableDesc* {
                                   return open && name == "PEDIDOS" ? source.get() : nullptr;
                               }};
};

TEST_F(DocumentLoadTest, RebuildsTheTablesAfterOpeningTheSource)
{
    int ownEvent = 0;
    loaded.AfterLoad = [&](TvxCommand&) { ++ownEvent; };
    const TvxDocumentLoadResult r = Load();
    EXPECT_EQ(r.messageId, 0);
    EXPECT_TRUE(r.descriptorsRead);
    // The builder keeps the target command ahead of the source command.
    EXPECT_EQ(events, (std::vector<std::string>{"target /dados/novo", "source /dados/velho"}));
    EXPECT_EQ(loaded.Count(), script.Count());
    ASSERT_EQ(loadedList.Count(), 2);
    EXPECT_EQ(loadedList.NameAt(1), "PED");
    ASSERT_EQ(loadedList.TableAt(1)->FieldCount(), 1);
    EXPECT_EQ(loadedList.TableAt(1)->Fields()[0].name(), "NUM");
    EXPECT_EQ(ownEvent, 0) << "the replay stands in for AfterLoad while loading";
    ASSERT_TRUE(loaded.AfterLoad);
    TvxCommand probe(ckCreateTable, {"X"});
    loaded.AfterLoad(probe);
    EXPECT_EQ(ownEvent, 1) << "and the script's own handler is back afterwards";
}

TEST_F(DocumentLoadTest, MissingSourceTableStopsTheLoadingWith10027)
{
    const TvxDocumentLoadResult r = Load(false);
    EXPECT_EQ(r.messageId, TvxScriptMsg::SourceTableMissing);
    EXPECT_EQ(r.missingTable, "PEDIDOS");
    EXPECT_FALSE(r.descriptorsRead);
    EXPECT_EQ(loaded.Count(), 5) << "loaded up to the Add table, which stays";
    EXPECT_EQ(loadedList.Count(), 1);
    EXPECT_FALSE(loaded.AfterLoad);
    EXPECT_EQ(ScriptMessageText(r.messageId), "A tabela %s não foi encontrada no caminho atual");
}

TEST_F(DocumentLoadTest, AFailingHookOrFileReachesTheCaller)
{
    replayer.OnSourceAlias = [](const TvxCommand&) { throw EvxAbort(); };
    EXPECT_THROW(LoadScriptDocument(file, loaded, replayer), EvxAbort);
    ASSERT_EQ(loaded.Count(), 2);
    EXPECT_EQ(loaded.Command(1)->Kind(), ckAddAlias);
    EXPECT_THROW(LoadScriptDocument(dir.file("none.vxscript"), loaded, replayer), EFOpenError);
}

TEST_F(DocumentLoadTest, ATableNamedAsAPathIsRefusedAsTheFileIsRead)
{
    ASSERT_EQ(CreateTable("../fora"), 0);
    SaveScriptDocument(file, "Morvane", script, list);
    try {
        Load();
        ADD_FAILURE() << "loaded";
    } catch (const EReadError& e) {
        EXPECT_NE(std::string(e.what()).find("\"../fora\" is not allowed"), std::string::npos) << e.what();
    }
}

} // namespace
} // namespace morvane
