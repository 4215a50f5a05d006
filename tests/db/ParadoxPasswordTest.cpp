// Protected tables: the header is readable, but the engine reads a protected table only
// when one of the session's passwords gives the checksum the table stores.

#include "db/TvxParadoxDatabase.h"
#include "db/paradox/ParadoxPassword.h"
#include "ParadoxTestSupport.h"

#include <gtest/gtest.h>

#include <functional>

namespace morvane {
namespace {

using test::SamplePath;

TEST(ParadoxPassword, ChecksumOfTheSamplePassword)
{
    // All three protected samples store 0x0A25E09A for "123".
    EXPECT_EQ(ParadoxPasswordChecksum("123"), 0x0A25E09Au);
    EXPECT_EQ(ParadoxPasswordChecksum(""), 0u);
    EXPECT_NE(ParadoxPasswordChecksum("124"), 0x0A25E09Au);
    EXPECT_NE(ParadoxPasswordChecksum("1234"), ParadoxPasswordChecksum("123"));
    EXPECT_FALSE(ParadoxPasswordMatches("", 0));
    EXPECT_TRUE(ParadoxPasswordMatches("123", 0x0A25E09Au));
    // Long passwords neither crash nor read past their end.
    EXPECT_NE(ParadoxPasswordChecksum(std::string(1000, 'x')), 0u);
}

void expectPasswordRequired(TvxParadoxDatabase& db, const std::string& table)
{
    const std::vector<std::function<void()>> reads = {
        [&] { db.ReadTableProperties(table); },   [&] { db.ReadFieldDescriptors(table); },
        [&] { db.ReadIndexDescriptors(table); },  [&] { db.ReadRefIntDescriptors(table); },
        [&] { db.ReadValChecks(table); }};
    for (const auto& read : reads) {
        try {
            read();
            ADD_FAILURE() << table << " read without its password";
        } catch (const EvxEngineError& e) {
            EXPECT_EQ(e.Code(), vxErrPasswordRequired);
            EXPECT_NE(std::string(e.what()).find(table), std::string::npos) << e.what();
        }
    }
}

TEST(ParadoxPassword, ProtectedTablesOfEveryLevel)
{
    for (const std::string table : {"encrypted.db", "encrypted35.db", "encryptedmemo.db"}) {
        SCOPED_TRACE(table);
        TvxParadoxDatabase none(SamplePath("pd-encrypt"), std::make_shared<const std::vector<std::string>>());
        expectPasswordRequired(none, table);
        TvxParadoxDatabase noList(SamplePath("pd-encrypt"), nullptr);
        expectPasswordRequired(noList, table);
        TvxParadoxDatabase wrong(SamplePath("pd-encrypt"),
                                 std::make_shared<const std::vector<std::string>>(std::vector<std::string>{"124", "12"}));
        expectPasswordRequired(wrong, table);

        TvxParadoxDatabase right(SamplePath("pd-encrypt"), std::make_shared<const std::vector<std::string>>(
                                                               std::vector<std::string>{"wrong", "123"}));
        const TvxCursorProps props = right.ReadTableProperties(table);
        EXPECT_TRUE(props.isProtected());
        EXPECT_FALSE(right.ReadFieldDescriptors(table).empty());
    }
}

TEST(ParadoxPassword, PasswordAddedToTheSessionLaterOpensTheTable)
{
    auto list = std::make_shared<std::vector<std::string>>();
    TvxParadoxDatabase db(SamplePath("pd-encrypt"), list);
    EXPECT_THROW(db.ReadTableProperties("encrypted.db"), EvxEngineError);
    list->push_back("123");
    EXPECT_EQ(db.ReadTableProperties("encrypted.db").fieldCount(), 2);
    // Unprotected tables need no password at all.
    TvxParadoxDatabase plain(SamplePath("pd-joins"), nullptr);
    EXPECT_FALSE(plain.ReadTableProperties("C.DB").isProtected());
}

} // namespace
} // namespace morvane
