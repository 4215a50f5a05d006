#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "db/IvxEngine.h"
#include "db/TvxAliasConfig.h"
#include "support/SamplePath.h"
#include "support/TempDir.h"

using namespace morvane;
using morvane::test::TempDir;

namespace {

const char* exampleConfig = "[EXEMPLO]\nTYPE=STANDARD\nPATH=/nowhere\nDEFAULT DRIVER=PARADOX\nENABLE BCD=FALSE\n\n"
                            "[Second]\nPATH=/second\n";

class EngineSessionTest : public ::testing::Test
{
protected:
    TempDir dir;
    std::string config = dir.file("morvane/aliases.conf");
};

} // namespace

TEST_F(EngineSessionTest, SessionsAreCreatedOnFirstUseAndKeptByName)
{
    auto engine = CreateParadoxEngine(config);
    auto& s1 = engine->Session(vxSession);
    auto& s2 = engine->Session(vxSessionNew);
    EXPECT_EQ(s1.Name(), "Session");
    EXPECT_EQ(s2.Name(), "SessionNew");
    EXPECT_EQ(&engine->Session("Session"), &s1);
    EXPECT_EQ(engine->Session("Other").Name(), "Other");
    // The standard driver reads Paradox tables; there are no non-standard drivers.
    EXPECT_EQ(s2.DriverNames(), TvxStringList{"STANDARD"});
}

TEST_F(EngineSessionTest, ListsAliasesAndTheirParameters)
{
    dir.write("morvane/aliases.conf", exampleConfig);
    auto engine = CreateParadoxEngine(config);
    auto& s = engine->Session(vxSession);
    EXPECT_EQ(s.AliasNames(), (TvxStringList{"EXEMPLO", "Second"}));
    EXPECT_EQ(s.AliasParams("exemplo"), (TvxStringList{"TYPE=STANDARD", "PATH=/nowhere", "DEFAULT DRIVER=PARADOX",
                                                        "ENABLE BCD=FALSE"}));
    try {
        s.AliasParams("missing");
        FAIL();
    } catch (const EvxEngineError& e) {
        EXPECT_EQ(e.Code(), vxErrUnknownAlias);
    }
}

TEST_F(EngineSessionTest, PersistentChangesReachTheNextEngine)
{
    dir.write("morvane/aliases.conf", exampleConfig);
    {
        auto engine = CreateParadoxEngine(config);
        auto& s = engine->Session(vxSession);
        s.SetPersistentConfigMode();
        s.ModifyAlias("NOVO", {"PATH=/novo", "TYPE=STANDARD"});
        s.ModifyAlias("Second", {"PATH=/changed"});
        s.DeleteAlias("EXEMPLO");
        s.DeleteAlias("never-there");
        EXPECT_EQ(s.AliasNames(), (TvxStringList{"Second", "NOVO"}));
    }
    auto engine = CreateParadoxEngine(config);
    auto& s = engine->Session(vxSession);
    EXPECT_EQ(s.AliasNames(), (TvxStringList{"Second", "NOVO"}));
    EXPECT_EQ(s.AliasParams("NOVO"), (TvxStringList{"PATH=/novo", "TYPE=STANDARD"}));
    EXPECT_EQ(s.AliasParams("second"), TvxStringList{"PATH=/changed"});
}

TEST_F(EngineSessionTest, ChangesOutsidePersistentModeStayInTheSession)
{
    dir.write("morvane/aliases.conf", exampleConfig);
    auto engine = CreateParadoxEngine(config);
    auto& s = engine->Session(vxSession);
    s.ModifyAlias("TEMP", {"PATH=/tmp"});
    s.ModifyAlias("EXEMPLO", {"PATH=/elsewhere"});
    EXPECT_EQ(s.AliasParams("EXEMPLO")[1], "PATH=/elsewhere");
    EXPECT_EQ(s.AliasNames(), (TvxStringList{"EXEMPLO", "Second", "TEMP"}));
    EXPECT_EQ(engine->Session(vxSessionNew).AliasNames(), (TvxStringList{"EXEMPLO", "Second"}));
    EXPECT_EQ(dir.read("morvane/aliases.conf"), exampleConfig);
}

TEST_F(EngineSessionTest, DefaultSessionDeletesTemporaryAliasesFromTheFile)
{
    auto engine = CreateParadoxEngine(config);
    auto& s = engine->Session(vxSession);
    s.SetPersistentConfigMode();
    s.ModifyAlias("vxALIAS", {"PATH=/a"});
    engine->Session(vxDefaultSession).DeleteAlias("vxALIAS");
    engine->Session(vxDefaultSession).DeleteAlias("vxNEW");
    EXPECT_TRUE(CreateParadoxEngine(config)->Session(vxSession).AliasNames().empty());
}

TEST_F(EngineSessionTest, DamagedFileIsAnEngineErrorNamingFileAndLine)
{
    dir.write("morvane/aliases.conf", "[A]\nPATH=/a\ngarbage without equals\n");
    auto engine = CreateParadoxEngine(config);
    auto& s = engine->Session(vxSession);
    try {
        s.AliasNames();
        FAIL() << "damaged file accepted";
    } catch (const EvxEngineError& e) {
        EXPECT_EQ(e.Code(), vxErrConfig);
        EXPECT_NE(std::string(e.what()).find(config + ", line 3"), std::string::npos) << e.what();
    }
    // Nothing is written over the damaged file.
    s.SetPersistentConfigMode();
    EXPECT_THROW(s.ModifyAlias("B", {"PATH=/b"}), EvxEngineError);
    EXPECT_EQ(dir.read("morvane/aliases.conf"), "[A]\nPATH=/a\ngarbage without equals\n");
}

TEST_F(EngineSessionTest, DefaultPathFollowsTheEnvironment)
{
    const char* saved = std::getenv("MORVANE_ENGINE_CONFIG");
    const std::string keep = saved ? saved : "";
    setenv("MORVANE_ENGINE_CONFIG", config.c_str(), 1);
    EXPECT_EQ(TvxAliasConfig::DefaultPath(), config);
    unsetenv("MORVANE_ENGINE_CONFIG");
    const char* xdgSaved = std::getenv("XDG_CONFIG_HOME");
    const std::string xdgKeep = xdgSaved ? xdgSaved : "";
    setenv("XDG_CONFIG_HOME", "/xdg", 1);
    EXPECT_EQ(TvxAliasConfig::DefaultPath(), "/xdg/morvane/aliases.conf");
    if (xdgSaved)
        setenv("XDG_CONFIG_HOME", xdgKeep.c_str(), 1);
    else
        unsetenv("XDG_CONFIG_HOME");
    if (saved)
        setenv("MORVANE_ENGINE_CONFIG", keep.c_str(), 1);
}

TEST_F(EngineSessionTest, OpenDatabaseRefusesUnknownAliasesMissingDirectoriesAndDrivers)
{
    dir.write("morvane/aliases.conf", std::string(exampleConfig) + "\n[NOPATH]\nTYPE=STANDARD\n[IB]\nTYPE=INTRBASE\n"
                                                                   "PATH=" + dir.path().string() + "\n");
    auto engine = CreateParadoxEngine(config);
    auto& s = engine->Session(vxSession);
    auto codeOf = [&](const TvxDatabaseParams& p) {
        try {
            s.OpenDatabase(p);
        } catch (const EvxEngineError& e) {
            return e.Code();
        }
        return 0;
    };
    EXPECT_EQ(codeOf({"MISSING", "MISSING", {}}), vxErrUnknownAlias);
    EXPECT_EQ(codeOf({"EXEMPLO", "EXEMPLO", {}}), vxErrDirectory);
    EXPECT_EQ(codeOf({"NOPATH", "NOPATH", {}}), vxErrDirectory);
    EXPECT_EQ(codeOf({"IB", "IB", {}}), vxErrUnknownDriver);
    EXPECT_EQ(codeOf({"", "/no/such", {"PATH=/no/such", "DEFAULT DRIVER=PARADOX", "ENABLE BCD=FALSE"}}),
              vxErrDirectory);
    EXPECT_EQ(codeOf({"", "", {}}), vxErrDirectory);
}

TEST_F(EngineSessionTest, PasswordsAddedLaterOpenTablesOfAnOpenDatabase)
{
    const auto tables = dir.path() / "tables";
    std::filesystem::create_directories(tables);
    std::filesystem::copy_file(morvane::test::SamplePath("pd-encrypt/encrypted.db"), tables / "encrypted.db");
    auto engine = CreateParadoxEngine(config);
    auto& s = engine->Session(vxSession);
    auto db = s.OpenDatabase({"", tables.string(), {"PATH=" + tables.string(), "DEFAULT DRIVER=PARADOX"}});
    try {
        db->ReadTableProperties("encrypted.db");
        FAIL() << "protected table opened without a password";
    } catch (const EvxEngineError& e) {
        EXPECT_EQ(e.Code(), vxErrPasswordRequired);
    }
    // Another session's passwords do not count.
    engine->Session(vxSessionNew).AddPassword("123");
    EXPECT_THROW(db->ReadTableProperties("encrypted.db"), EvxEngineError);
    s.AddPassword("123");
    EXPECT_TRUE(db->ReadTableProperties("encrypted.db").isProtected());
}
