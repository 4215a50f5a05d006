// Runs the real morvane-cli show on documents and scripts written by the script library.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <sys/wait.h>
#include <unistd.h>

#include "model/clvxTableDesc.h"
#include "model/vxFieldTypes.h"
#include "script/TvxScriptDocument.h"
#include "script/TvxScriptTableList.h"
#include "script/TvxUpdateFileVersion.h"
#include "stream/TvxFileStream.h"
#include "support/TempDir.h"
#include "support/TestFields.h"
#include "support/TestScript.h"

#include "CliRunner.h"

using namespace morvane;
namespace fs = std::filesystem;

namespace {

using Result = test::CliResult;
using test::ShellQuote;
using test::Slurp;

using Script = test::TestScript;
using test::MakeField;

class ShowCommandTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        script_.Add(ckAddAlias, {std::string(), std::string("STANDARD"), std::string("/dados")});
        script_.Add(ckCreateTable, {std::string("PEDIDOS")});
        script_.Add(ckCreateField, {std::string("PEDIDOS")});
        script_.Command(2)->AddFieldBlock(MakeField("Descri\xE7\xE3o", 2, fldAlpha, 40));
        script_.Command(2)->AddValues({std::string("n\xE3o")});

        auto t = std::make_unique<TvxTableDesc>();
        t->TableList().setTableName("PEDIDOS");
        t->TableList().setFileName("PEDIDOS.DB");
        t->TableList().setExtension("DB");
        t->TableList().setTableType("PARADOX");
        t->SetFields({MakeField("Numero", 1, fldLong), MakeField("Descri\xE7\xE3o", 2, fldAlpha, 40)});
        TvxIndexDesc pk;
        pk.setPrimary(true);
        pk.setUnique(true);
        pk.setKeyFieldCount(1);
        pk.setKeyField(0, 1);
        t->SetIndexes({pk});
        TvxValCheckDesc check;
        check.setFieldNumber(1);
        check.setRequired(true);
        check.setHasMinimum(true);
        check.minimum()[0] = 5; // Long 5, little-endian in the engine's value area
        t->SetValChecks({check});
        tables_.AddTable("PEDIDOS", std::move(t));
    }

    Result Run(const std::string& args)
    {
        return test::RunCli("show " + args, dir_ / "stderr.txt");
    }

    std::string SaveDocument()
    {
        const std::string file = (dir_ / "novo.vxscript").string();
        SaveScriptDocument(file, "Morvane", script_, tables_);
        return file;
    }

    test::TempDir temp_;
    const fs::path& dir_ = temp_.path();
    Script script_;
    TvxScriptTableList tables_;
};

} // namespace

TEST_F(ShowCommandTest, Document)
{
    const Result r = Run(ShellQuote(SaveDocument()));
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    const char* expected[] = {
        "Application: \"Morvane\"\nVersion: \"1.0\"\nFile kind: 0 (script document)\n",
        "Commands: 3\n",
        "  1. Add alias ->   STANDARD /dados\n",
        "  2. Create table ->  PEDIDOS\n",
        "  3. Create field ->  PEDIDOS Descrição 2 257 40 40 não\n",
        "Tables: 1\n  Table 1: PEDIDOS\n",
        "    Validity checks: 1\n      Field 1: required yes; minimum 05; picture \"\"\n",
        "    Referential-integrity rules: 0\n",
        "    Indexes: 1\n      (primary key): fields 1; primary yes, unique yes",
    };
    for (const char* e : expected)
        EXPECT_NE(r.out.find(e), std::string::npos) << e << "\n--- in ---\n" << r.out;
    EXPECT_EQ(r.out.find("Flag"), std::string::npos);
}

// Texts from a file never reach the terminal as control characters or line breaks.
TEST_F(ShowCommandTest, ControlCharactersInTextsAreEscaped)
{
    script_.Add(ckAddPassword, {std::string("PEDIDOS\nFalso: 1"), std::string("\x1B[2J\x7F\x80")});
    const Result r = Run(ShellQuote(SaveDocument()));
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("  4. Add password ->  PEDIDOS\\x0AFalso: 1 \\x1B[2J\\x7F\xE2\x82\xAC\n"), std::string::npos)
        << r.out;
    EXPECT_EQ(r.out.find('\x1B'), std::string::npos);
}

TEST_F(ShowCommandTest, UpdateAndMaintenanceScripts)
{
    const std::string usp = (dir_ / "novo.vxusp").string();
    {
        TvxFileStream f(usp, TvxFileStream::Mode::Create);
        TvxUpdateFileVersion("Morvane", "1.0", fkUpdateScript).WriteTo(f);
        script_.SaveToStream(f);
    }
    Result r = Run(ShellQuote(usp));
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("File kind: 1 (update script)\nFlag: false\nCommands: 3\n"), std::string::npos) << r.out;
    EXPECT_EQ(r.out.find("Tables:"), std::string::npos) << r.out;

    const std::string msp = (dir_ / "novo.vxmsp").string();
    {
        TvxFileStream f(msp, TvxFileStream::Mode::Create);
        TvxUpdateFileVersion("Morvane", "1.0", fkMaintenanceScript).WriteTo(f);
        tables_.WriteAllStructures(f);
    }
    r = Run(ShellQuote(msp));
    ASSERT_EQ(r.status, 0) << r.err;
    const char* expected[] = {
        "File kind: 2 (maintenance script)\nFlag: false\nTables: 1\n  Table 1: PEDIDOS\n",
        "    File name: \"PEDIDOS.DB\"; extension: \"DB\"; type: \"PARADOX\"\n    Fields: 2\n",
        "      1. Numero: Long (267), units1 0, units2 0, length 4\n",
        "      2. Descrição: Alpha (257), units1 40, units2 0, length 40\n",
        "      Field 1 (Numero): required yes; minimum \"5\"; maximum \"\"; default \"\"; picture \"\"\n",
        "      (primary key): fields 1 (Numero); primary yes",
    };
    for (const char* e : expected)
        EXPECT_NE(r.out.find(e), std::string::npos) << e << "\n--- in ---\n" << r.out;
    EXPECT_EQ(r.out.find("Commands:"), std::string::npos);
}

TEST_F(ShowCommandTest, DamagedFilesGiveTheOffsetAndStatusOne)
{
    const std::string good = Slurp(SaveDocument());
    const fs::path cut = dir_ / "cortado.vxscript";
    {
        std::ofstream out(cut, std::ios::binary);
        out.write(good.data(), static_cast<std::streamsize>(good.size() - 3));
    }
    Result r = Run(ShellQuote(cut.string()));
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "morvane-cli: " + cut.string() + ": Stream read error at byte offset " +
                         std::to_string(good.size() - 3) + "\n");
    // What was read before the fault is shown.
    EXPECT_NE(r.out.find("Commands: 3\n"), std::string::npos);

    const fs::path wrongTag = dir_ / "tag.vxscript";
    {
        std::string bad = good;
        bad[14] = 6; // the file kind
        std::ofstream out(wrongTag, std::ios::binary);
        out << bad;
    }
    r = Run(ShellQuote(wrongTag.string()));
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("Invalid property value at byte offset 14"), std::string::npos) << r.err;

    const fs::path huge = dir_ / "huge.vxscript";
    {
        std::ofstream out(huge, std::ios::binary);
        out << std::string("\x0C\xFF\xFF\xFF\x7F" "abc", 8);
    }
    r = Run(ShellQuote(huge.string()));
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("Stream read error"), std::string::npos) << r.err;

    r = Run(ShellQuote((dir_ / "nada.vxscript").string()));
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("Cannot open file "), std::string::npos) << r.err;

    r = Run("");
    EXPECT_EQ(r.status, 2);
}

// A pipe cannot seek: read through one, a whole document and a cut one give the listing, the
// byte offset and the status they give from the file.
TEST_F(ShowCommandTest, PipesGiveWhatTheFileGives)
{
    const std::string good = Slurp(SaveDocument());
    const fs::path cut = dir_ / "cortado.vxscript";
    std::ofstream(cut, std::ios::binary) << good.substr(0, good.size() - 3);
    for (const fs::path& file : {fs::path(SaveDocument()), cut}) {
        const Result direct = Run(ShellQuote(file.string()));
        const Result piped =
            test::RunCli("show /dev/stdin", dir_ / "stderr.txt", "cat " + ShellQuote(file.string()) + " |");
        const auto asPipe = [&](std::string text) {
            for (std::size_t at; (at = text.find(file.string())) != std::string::npos;)
                text.replace(at, file.string().size(), "/dev/stdin");
            return text;
        };
        EXPECT_EQ(piped.status, direct.status) << file;
        EXPECT_EQ(piped.err, asPipe(direct.err));
        EXPECT_EQ(piped.out, asPipe(direct.out));
    }
}

TEST_F(ShowCommandTest, UnknownFileKindFallsBackToTheExtension)
{
    const std::string file = (dir_ / "outro.vxusp").string();
    {
        TvxFileStream f(file, TvxFileStream::Mode::Create);
        TvxUpdateFileVersion("Outro", "9", 7).WriteTo(f);
        script_.SaveToStream(f);
    }
    Result r = Run(ShellQuote(file));
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("File kind: 7 (unknown; read as update script)\n"), std::string::npos) << r.out;

    const std::string bin = (dir_ / "outro.bin").string();
    fs::copy_file(file, bin);
    r = Run(ShellQuote(bin));
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("Unknown file kind 7 at byte offset 10"), std::string::npos) << r.err;
}
