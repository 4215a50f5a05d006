#include "db/cpDatabase.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "DatabaseTestSupport.h"
#include "model/clvxTableDesc.h"
#include "support/SamplePath.h"
#include "support/TempDir.h"

using namespace morvane;
using namespace morvane::test;
namespace fs = std::filesystem;

namespace {

class DatabaseTest : public ::testing::Test
{
protected:
    TempDir dir;
    CountingEngine engine{CreateParadoxEngine(dir.file("aliases.conf"))};
    RecordingDataSetList box;

    fs::path tables(const std::string& name = "tables")
    {
        fs::create_directories(dir.path() / name);
        return dir.path() / name;
    }
};

} // namespace

TEST_F(DatabaseTest, ConnectingToItsPresentStateDoesNothing)
{
    TvxDatabase db(engine);
    db.SetDataSetList(&box);
    int events = 0;
    db.OnConnected = [&](bool) { ++events; };
    db.SetConnected(false);
    EXPECT_EQ(engine.session().calls, 0);
    EXPECT_EQ(events, 0);
    EXPECT_EQ(box.handleCalls + box.clearCalls + box.replaceCalls, 0);

    db.SetPath(tables().string());
    db.SetConnected(true);
    const int callsAfterConnect = engine.session().calls;
    db.SetConnected(true);
    EXPECT_EQ(engine.session().calls, callsAfterConnect);
    EXPECT_EQ(events, 1);
    EXPECT_EQ(box.replaceCalls, 1);
}

TEST_F(DatabaseTest, EmptyDirectoryFillsAnEmptyListAndDisconnectClearsIt)
{
    TvxDatabase db(engine);
    db.SetDataSetList(&box);
    std::vector<bool> events;
    db.OnConnected = [&](bool v) { events.push_back(v); };
    db.OpenByPath(tables().string());
    EXPECT_EQ(db.DatabaseName(), tables().string());
    EXPECT_EQ(db.Params(), (TvxStringList{"PATH=" + tables().string(), "DEFAULT DRIVER=PARADOX",
                                          "ENABLE BCD=FALSE"}));
    ASSERT_TRUE(db.Connected());
    EXPECT_EQ(box.handle, db.Handle());
    EXPECT_EQ(box.replaceCalls, 1);
    EXPECT_TRUE(box.items.empty());
    db.SetConnected(false);
    EXPECT_EQ(box.handle, nullptr);
    EXPECT_EQ(box.clearCalls, 1);
    EXPECT_EQ(events, (std::vector<bool>{true, false}));
}

TEST_F(DatabaseTest, ConnectFailureLeavesTheDatabaseDisconnected)
{
    TvxDatabase db(engine);
    int events = 0;
    db.OnConnected = [&](bool) { ++events; };
    db.SetAlias("NOSUCHALIAS");
    EXPECT_THROW(db.SetConnected(true), EvxEngineError);
    EXPECT_FALSE(db.Connected());
    EXPECT_EQ(events, 0);
    db.OpenByPath(tables().string());
    EXPECT_THROW(db.SetAlias("X"), std::logic_error);
}

TEST_F(DatabaseTest, ReadsEverySampleTableWithItsStructure)
{
    TvxDatabase db(engine);
    db.SetDataSetList(&box);
    db.OpenByPath(SamplePath("pd-joins"));
    ASSERT_FALSE(box.items.empty());
    const TvxTableDesc* c = nullptr;
    for (const auto& item : box.items) {
        ASSERT_TRUE(item.desc);
        EXPECT_EQ(item.name, item.desc->TableName());
        EXPECT_EQ(item.desc->FieldCount(), static_cast<int>(item.desc->Fields().size()));
        for (int i = 0; i < item.desc->FieldCount(); ++i)
            EXPECT_EQ(item.desc->GetField(i)->fieldNumber(), i + 1);
        for (const auto& rule : item.desc->RefInts())
            for (int k = rule.fieldCount(); k < TvxRefIntDesc::MaxFields; ++k)
                EXPECT_EQ(rule.thisField(k) + rule.otherField(k), 0);
        if (item.desc->FileName() == "C.DB" || item.name == "C")
            c = item.desc.get();
    }
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->RefIntCount(), 2); // dependent of A and of B
    EXPECT_TRUE(c->HasPrimaryKey());
    EXPECT_GE(c->ValCheckCount(), 1);
}

TEST_F(DatabaseTest, ProtectedTableAsksForPasswordsUntilOneOpensIt)
{
    fs::copy_file(SamplePath("pd-encrypt/encrypted.db"), tables() / "encrypted.db");
    TvxDatabase db(engine);
    db.SetDataSetList(&box);
    std::vector<std::string> offered{"wrong", "123"};
    int asked = 0;
    db.OnPassword = [&](TvxDatabase& value) {
        EXPECT_EQ(&value, &db);
        // The question names the table and knows how many passwords it already refused.
        EXPECT_EQ(value.PasswordTable(), "encrypted.db");
        EXPECT_EQ(value.PasswordRetries(), asked);
        value.Session().AddPassword(offered.at(asked++));
        return true;
    };
    db.OpenByPath(tables().string());
    EXPECT_EQ(asked, 2);
    ASSERT_EQ(box.items.size(), 1u);
    EXPECT_TRUE(box.items[0].desc->Protected());
}

TEST_F(DatabaseTest, RefusedOrMissingPasswordPropagatesTheEngineError)
{
    fs::copy_file(SamplePath("pd-encrypt/encrypted.db"), tables() / "encrypted.db");
    TvxDatabase db(engine);
    db.SetDataSetList(&box);
    db.SetPath(tables().string());
    try {
        db.SetConnected(true);
        FAIL() << "protected table read without a password";
    } catch (const EvxEngineError& e) {
        EXPECT_EQ(e.Code(), vxErrPasswordRequired);
    }
    // Connected, but the list not filled.
    EXPECT_TRUE(db.Connected());
    EXPECT_EQ(box.replaceCalls, 0);

    db.SetConnected(false);
    int asked = 0;
    db.OnPassword = [&](TvxDatabase&) { return ++asked, false; };
    try {
        db.SetConnected(true);
        FAIL() << "cancelled password accepted";
    } catch (const EvxEngineError& e) {
        EXPECT_EQ(e.Code(), vxErrPasswordRequired);
    }
    EXPECT_EQ(asked, 1);

    // Skipping refused tables: the others are read, the refused one listed protected, unread.
    fs::copy_file(SamplePath("pd-joins/A.db"), tables() / "A.db");
    db.SetConnected(false);
    db.SkipRefusedTables = true;
    db.SetConnected(true);
    ASSERT_EQ(box.items.size(), 2u);
    for (const auto& item : box.items)
        EXPECT_EQ(item.desc->Protected(), item.name == "encrypted") << item.name;
}

TEST_F(DatabaseTest, AliasPathReadsThePathParameterInAnyLetterCase)
{
    auto& s = engine.session();
    s.ModifyAlias("LOWER", {"TYPE=STANDARD", "path=/lower/case"});
    s.ModifyAlias("NOPATH", {"TYPE=STANDARD"});
    TvxDatabase db(engine);
    db.SetAlias("LOWER");
    EXPECT_EQ(db.AliasPath(), "/lower/case");
    db.SetAlias("NOPATH");
    EXPECT_EQ(db.AliasPath(), "");
    db.SetPath("/somewhere");
    EXPECT_EQ(db.AliasPath(), "");
}

TEST_F(DatabaseTest, OpensByAliasThroughItsPath)
{
    engine.session().ModifyAlias("DADOS", {"PATH=" + SamplePath("pd-fields")});
    TvxDatabase db(engine);
    db.SetDataSetList(&box);
    db.OpenByAlias("DADOS");
    EXPECT_EQ(db.DatabaseName(), "DADOS");
    EXPECT_FALSE(box.items.empty());
}

TEST_F(DatabaseTest, FieldTypeNamesComeFromTheSharedList)
{
    TvxDatabase db(engine);
    EXPECT_EQ(db.FieldTypeName(12345), "");
    EXPECT_FALSE(db.FieldTypeName(257).empty());
    const auto* first = &db.FieldTypeList();
    TvxDatabase other(engine);
    EXPECT_EQ(&other.FieldTypeList(), first);
    EXPECT_EQ(other.FieldTypeName(273), db.FieldTypeName(273));
}

TEST(DatabaseCurrent, IsTheMostRecentInstanceAndClearedWhenDestroyed)
{
    TempDir dir;
    auto engine = CreateParadoxEngine(dir.file("aliases.conf"));
    auto first = std::make_unique<TvxDatabase>(*engine);
    EXPECT_EQ(TvxDatabase::Current(), first.get());
    auto second = std::make_unique<TvxDatabase>(*engine);
    EXPECT_EQ(TvxDatabase::Current(), second.get());
    first.reset();
    EXPECT_EQ(TvxDatabase::Current(), second.get());
    second.reset();
    EXPECT_EQ(TvxDatabase::Current(), nullptr);
}

TEST(DatabaseCurrent, RemovedListIsForgotten)
{
    TempDir dir;
    auto engine = CreateParadoxEngine(dir.file("aliases.conf"));
    TvxDatabase a(*engine), b(*engine);
    RecordingDataSetList one, two;
    a.SetDataSetList(&one);
    b.SetDataSetList(&two);
    a.Notification(&two);
    EXPECT_EQ(a.DataSetList(), &one);
    TvxDatabase::NotifyDataSetListDestroyed(&one);
    EXPECT_EQ(a.DataSetList(), nullptr);
    EXPECT_EQ(b.DataSetList(), &two);
    // With no list linked, connecting and disconnecting still work.
    a.OpenByPath(dir.path().string());
    a.SetConnected(false);
}

TEST(DatabaseCurrent, ListDestroyedWhileConnectedIsDroppedSafely)
{
    TempDir dir;
    auto engine = CreateParadoxEngine(dir.file("aliases.conf"));
    TvxDatabase db(*engine);
    {
        RecordingDataSetList box;
        db.SetDataSetList(&box);
        db.OpenByPath(dir.path().string());
        EXPECT_EQ(box.handle, db.Handle());
    }
    EXPECT_EQ(db.DataSetList(), nullptr);
    db.SetConnected(false);
    EXPECT_FALSE(db.Connected());
}
