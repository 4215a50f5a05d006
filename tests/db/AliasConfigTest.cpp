#include "db/TvxAliasConfig.h"

#include <gtest/gtest.h>

#include "support/TempDir.h"
#include "db/EvxEngineError.h"

using namespace morvane;
using morvane::test::TempDir;

namespace {

// The error a damaged text gives, with its code checked.
std::string parseError(const std::string& text)
{
    try {
        TvxAliasConfig::Parse(text, "/cfg/aliases.conf");
    } catch (const EvxEngineError& e) {
        EXPECT_EQ(e.Code(), vxErrConfig);
        return e.what();
    }
    ADD_FAILURE() << "accepted: " << text;
    return {};
}

} // namespace

TEST(AliasConfig, ParsesTheFileTheRunScriptWrites)
{
    const auto config = TvxAliasConfig::Parse(
        "[EXEMPLO]\nTYPE=STANDARD\nPATH=/opt/example\nDEFAULT DRIVER=PARADOX\nENABLE BCD=FALSE\n", "f");
    ASSERT_EQ(config.Names(), std::vector<std::string>{"EXEMPLO"});
    EXPECT_EQ(config.Find("exemplo")->params,
              (std::vector<std::string>{"TYPE=STANDARD", "PATH=/opt/example", "DEFAULT DRIVER=PARADOX",
                                        "ENABLE BCD=FALSE"}));
}

TEST(AliasConfig, ToleratesCommentsBlanksCrLfAndSpacesAroundKeys)
{
    const auto config = TvxAliasConfig::Parse("; comment\r\n\r\n# other\n  [ A ]  \npath = /x y \n[B]\n", "f");
    EXPECT_EQ(config.Names(), (std::vector<std::string>{"A", "B"}));
    std::string value;
    ASSERT_TRUE(TvxAliasConfig::ParamValue(config.Find("a")->params, "PATH", value));
    EXPECT_EQ(value, "/x y");
    EXPECT_TRUE(config.Find("B")->params.empty());
}

TEST(AliasConfig, DamagedTextNamesFileAndLine)
{
    EXPECT_NE(parseError("[A]\nPATH=/x\nthis is not a parameter\n").find("/cfg/aliases.conf, line 3"),
              std::string::npos);
    EXPECT_NE(parseError("PATH=/x\n").find("line 1"), std::string::npos);
    EXPECT_NE(parseError("[A]\n[a]\n").find("line 2"), std::string::npos);
    EXPECT_NE(parseError("[A\n").find("line 1"), std::string::npos);
    EXPECT_NE(parseError("[]\n").find("line 1"), std::string::npos);
    EXPECT_NE(parseError("[A]\n=value\n").find("line 2"), std::string::npos);
    EXPECT_NE(parseError(std::string("[A]\nPATH=/x\x01\x02\0\xff", 14)).find("line 2"), std::string::npos);
    EXPECT_NE(parseError("[A]\nPATH=" + std::string(TvxAliasConfig::MaxLineLength, 'x') + "\n").find("line 2"),
              std::string::npos);
    EXPECT_NE(parseError(std::string(TvxAliasConfig::MaxFileSize + 1, '\n')).find("too large"), std::string::npos);
}

TEST(AliasConfig, ModifyMergesKeysAndCreatesMissingAliases)
{
    TvxAliasConfig config;
    config.Modify("Base", {"TYPE=STANDARD", "PATH=/a"});
    config.Modify("base", {"path=/b", "ENABLE BCD=FALSE"});
    config.Modify("Base", {}); // an empty list leaves the alias as it is
    ASSERT_EQ(config.Names(), std::vector<std::string>{"Base"});
    EXPECT_EQ(config.Find("BASE")->params,
              (std::vector<std::string>{"TYPE=STANDARD", "path=/b", "ENABLE BCD=FALSE"}));
    EXPECT_TRUE(config.Remove("BASE"));
    EXPECT_FALSE(config.Remove("BASE"));
}

TEST(AliasConfig, RefusesWhatTheFileCouldNotHold)
{
    TvxAliasConfig config;
    EXPECT_THROW(config.Modify("", {}), EvxEngineError);
    EXPECT_THROW(config.Modify("A]\n[B", {}), EvxEngineError);
    EXPECT_THROW(config.Modify("A", {"PATH=/x\n[B]"}), EvxEngineError);
    EXPECT_THROW(config.Modify("A", {"no equals sign"}), EvxEngineError);
    EXPECT_THROW(config.Modify("A", {"=value"}), EvxEngineError);
    // Surrounding blanks would be lost on the next load.
    EXPECT_THROW(config.Modify("A", {"PATH=/dir "}), EvxEngineError);
    EXPECT_THROW(config.Modify("A", {"PATH= /dir"}), EvxEngineError);
    EXPECT_TRUE(config.Names().empty());
}

TEST(AliasConfig, SaveAndLoadRoundTripWithoutLeftovers)
{
    TempDir dir;
    const std::string path = dir.file("sub/dir/aliases.conf");
    TvxAliasConfig config;
    config.Modify("ONE", {"PATH=/one"});
    config.Modify("Two", {"PATH=/dois/ação", "TYPE=STANDARD"});
    config.Save(path);
    const auto back = TvxAliasConfig::Load(path);
    EXPECT_EQ(back.Format(), config.Format());
    EXPECT_EQ(back.Find("two")->params, config.Find("Two")->params);
    int files = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir.path() / "sub/dir"))
        ++files;
    EXPECT_EQ(files, 1);
}

TEST(AliasConfig, MissingFileIsEmptyAndFailedSaveKeepsNothingHalfWritten)
{
    TempDir dir;
    EXPECT_TRUE(TvxAliasConfig::Load(dir.file("none.conf")).Names().empty());
    dir.write("blocker", "x");
    TvxAliasConfig config;
    config.Modify("A", {"PATH=/a"});
    EXPECT_THROW(config.Save(dir.file("blocker/aliases.conf")), EvxEngineError);
    EXPECT_EQ(dir.read("blocker"), "x");
    // A directory where the file should be: the rename fails, the temporary file is removed.
    std::filesystem::create_directories(dir.path() / "asdir.conf" / "inner");
    EXPECT_THROW(config.Save(dir.file("asdir.conf")), EvxEngineError);
    int files = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir.path()))
        ++files;
    EXPECT_EQ(files, 2);
}

TEST(AliasConfig, LoadRefusesOversizedAndBinaryFiles)
{
    TempDir dir;
    dir.write("big.conf", "[A]\n" + std::string(TvxAliasConfig::MaxFileSize, '#'));
    EXPECT_THROW(TvxAliasConfig::Load(dir.file("big.conf")), EvxEngineError);
    dir.write("bin.conf", std::string("\x7f" "ELF\x02\x01\x01\0\0\0", 10));
    try {
        TvxAliasConfig::Load(dir.file("bin.conf"));
        FAIL() << "binary file accepted";
    } catch (const EvxEngineError& e) {
        EXPECT_NE(std::string(e.what()).find(dir.file("bin.conf") + ", line 1"), std::string::npos) << e.what();
    }
}
