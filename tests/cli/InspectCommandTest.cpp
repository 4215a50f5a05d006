// Runs the real morvane-cli inspect on the sample tables and on the generated example database.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

#include "CliRunner.h"
#include "support/SamplePath.h"
#include "support/TempDir.h"

namespace {

namespace fs = std::filesystem;
using nlohmann::json;

using morvane::test::SamplePath;

using morvane::test::ShellQuote;
using RunResult = morvane::test::CliResult;

std::string quote(const std::string& s)
{
    return ShellQuote(s);
}

class InspectCommandTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        config = (dir / "aliases.conf").string();
    }

    RunResult run(const std::string& args)
    {
        return morvane::test::RunCli("inspect " + args, dir / "stderr.txt", "MORVANE_ENGINE_CONFIG=" + quote(config));
    }

    static const json* table(const json& doc, const std::string& fileName)
    {
        for (const auto& t : doc["tables"])
            if (t["fileName"] == fileName)
                return &t;
        return nullptr;
    }

    morvane::test::TempDir temp;
    const fs::path& dir = temp.path();
    std::string config;
};

} // namespace

TEST_F(InspectCommandTest, JsonDescribesTablesFieldsIndexesChecksAndRules)
{
    const auto r = run(quote(SamplePath("pd-joins")) + " --json");
    ASSERT_EQ(r.status, 0) << r.err;
    const json doc = json::parse(r.out);
    ASSERT_GE(doc["tables"].size(), 10u);

    const json* c = table(doc, "C.DB");
    ASSERT_NE(c, nullptr) << r.out.substr(0, 2000);
    EXPECT_EQ((*c)["protected"], false);
    EXPECT_TRUE((*c)["level"] == 4 || (*c)["level"] == 5 || (*c)["level"] == 7) << (*c)["level"];
    EXPECT_EQ((*c)["blockSize"].get<int>() % 1024, 0);
    const auto& fields = (*c)["fields"];
    ASSERT_FALSE(fields.empty());
    int offset = 0;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        EXPECT_EQ(fields[i]["number"], i + 1);
        EXPECT_EQ(fields[i]["offset"], offset);
        offset += fields[i]["length"].get<int>();
        EXPECT_FALSE(fields[i]["typeName"].get<std::string>().empty());
    }
    EXPECT_EQ((*c)["recordSize"], offset);

    const auto& indexes = (*c)["indexes"];
    ASSERT_FALSE(indexes.empty());
    EXPECT_EQ(indexes[0]["primary"], true);
    EXPECT_FALSE(indexes[0]["keyFields"].empty());

    bool required = false;
    for (const auto& v : (*c)["validityChecks"])
        required = required || v["required"].get<bool>();
    EXPECT_TRUE(required);

    const auto& rules = (*c)["refInts"];
    ASSERT_EQ(rules.size(), 2u);
    for (const auto& rule : rules) {
        EXPECT_EQ(rule["kind"], "dependent");
        EXPECT_EQ(rule["updateRule"], "cascade");
        EXPECT_EQ(rule["thisFields"].size(), rule["otherFields"].size());
        const std::string other = rule["otherTable"];
        EXPECT_TRUE(other == "A.db" || other == "B.db" || other == "A.DB" || other == "B.DB") << other;
    }
    const json* primary = table(doc, "primary.db");
    ASSERT_NE(primary, nullptr);
    int masters = 0;
    for (const auto& rule : (*primary)["refInts"])
        masters += rule["kind"] == "master";
    EXPECT_EQ(masters, 5);
}

TEST_F(InspectCommandTest, TextOutputListsEveryTable)
{
    const auto r = run(quote(SamplePath("pd-fields")));
    ASSERT_EQ(r.status, 0) << r.err;
    for (const char* name : {"bcd.db", "logical.db", "timestamp.db"})
        EXPECT_NE(r.out.find(std::string("(") + name + ")"), std::string::npos) << name;
    EXPECT_NE(r.out.find("Validity checks"), std::string::npos);
}

TEST_F(InspectCommandTest, ProtectedTableNeedsItsPassword)
{
    fs::copy_file(SamplePath("pd-encrypt/encrypted.db"), dir / "encrypted.db");
    fs::create_directories(dir / "tables");
    fs::rename(dir / "encrypted.db", dir / "tables" / "encrypted.db");
    const std::string tables = quote((dir / "tables").string());

    auto r = run(tables + " --json");
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.out.empty());
    EXPECT_NE(r.err.find("encrypted"), std::string::npos) << r.err;

    r = run(tables + " --password wrong --json");
    EXPECT_EQ(r.status, 1);

    r = run(tables + " --password wrong --password 123 --json");
    ASSERT_EQ(r.status, 0) << r.err;
    const json doc = json::parse(r.out);
    ASSERT_EQ(doc["tables"].size(), 1u);
    EXPECT_EQ(doc["tables"][0]["protected"], true);
}

TEST_F(InspectCommandTest, AliasesComeFromTheEngineConfiguration)
{
    std::ofstream(config) << "[AMOSTRA]\nTYPE=STANDARD\nPATH=" << SamplePath("pd-areas") << "\n";
    const auto r = run("amostra --json");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(table(json::parse(r.out), "ZIPCODES.DB"), nullptr);
}

TEST_F(InspectCommandTest, FailuresExplainThemselves)
{
    auto r = run(quote((dir / "missing").string()));
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("neither a directory nor a known alias"), std::string::npos) << r.err;

    std::ofstream(config) << "[BROKEN\n";
    r = run("ANYTHING");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("line 1"), std::string::npos) << r.err;

    EXPECT_EQ(run("").status, 2);
    EXPECT_EQ(run("a b").status, 2);
    EXPECT_EQ(run("--bogus x").status, 2);

    // A damaged table (a header cut short) costs itself only: named with its reason, the
    // others listed, exit 3.
    fs::create_directories(dir / "broken");
    std::ofstream(dir / "broken" / "BAD.DB", std::ios::binary) << std::string("\x40\x00\x00\x08", 4);
    fs::copy_file(SamplePath("pd-areas/STATES.DB"), dir / "broken" / "STATES.DB");
    r = run(quote((dir / "broken").string()) + " --json");
    EXPECT_EQ(r.status, 3) << r.err;
    const json doc = json::parse(r.out);
    ASSERT_EQ(doc["tables"].size(), 1u);
    EXPECT_EQ(doc["tables"][0]["fileName"], "STATES.DB");
    ASSERT_EQ(doc["errors"].size(), 1u);
    EXPECT_EQ(doc["errors"][0]["fileName"], "BAD.DB");
    EXPECT_FALSE(doc["errors"][0]["reason"].get<std::string>().empty());
    r = run(quote((dir / "broken").string()));
    EXPECT_EQ(r.status, 3);
    EXPECT_NE(r.err.find("BAD.DB: not read"), std::string::npos) << r.err;
    EXPECT_NE(r.out.find("STATES"), std::string::npos);
}

TEST_F(InspectCommandTest, GeneratedExampleReadsBackInUtf8)
{
    const auto r = run(quote(MORVANE_EXAMPLE_DIR) + " --json");
    ASSERT_EQ(r.status, 0) << r.err;
    const json doc = json::parse(r.out);
    const json* produtos = table(doc, "PRODUTOS.DB");
    ASSERT_NE(produtos, nullptr);
    EXPECT_EQ((*produtos)["codePage"], 1252);
    EXPECT_EQ((*produtos)["level"], 7);
    EXPECT_EQ((*produtos)["fields"][1]["name"], "Descrição");
    const json* itens = table(doc, "ITENS.DB");
    ASSERT_NE(itens, nullptr);
    EXPECT_EQ((*itens)["indexes"][0]["keyFields"], json::array({1, 2}));
    EXPECT_EQ((*itens)["fields"][4]["type"], 273);
    EXPECT_EQ((*itens)["fields"][4]["units2"], 2);

    // Check values print as value texts in UTF-8; rules name the other table.
    const json* clientes = table(doc, "CLIENTES.DB");
    ASSERT_NE(clientes, nullptr);
    bool cityDefault = false;
    for (const auto& c : (*clientes)["validityChecks"])
        cityDefault = cityDefault || (c["field"] == 3 && c["default"] == "São Paulo");
    EXPECT_TRUE(cityDefault) << (*clientes)["validityChecks"].dump();
    ASSERT_EQ((*itens)["refInts"].size(), 1u);
    EXPECT_EQ((*itens)["refInts"][0]["kind"], "dependent");
    EXPECT_EQ((*itens)["refInts"][0]["otherTable"], "PRODUTOS.DB");
    EXPECT_EQ((*itens)["indexes"].size(), 2u);
}

TEST_F(InspectCommandTest, DoubleByteCodePageNamesReachUtf8Whole)
{
    // long.db with its code page set to 936 and a field name starting with the GBK bytes of 中.
    fs::create_directories(dir / "gbk");
    for (const char* f : {"long.db", "long.px"})
        fs::copy_file(fs::path(SamplePath("pd-fields")) / f, dir / "gbk" / f);
    std::string bytes;
    {
        std::ifstream in(dir / "gbk" / "long.db", std::ios::binary);
        bytes.assign(std::istreambuf_iterator<char>(in), {});
    }
    const auto at = bytes.find(std::string("LONG\0", 5));
    ASSERT_NE(at, std::string::npos);
    bytes.replace(at, 2, "\xD6\xD0");
    bytes[0x6A] = static_cast<char>(936 & 0xFF);
    bytes[0x6B] = static_cast<char>(936 >> 8);
    std::ofstream(dir / "gbk" / "long.db", std::ios::binary | std::ios::trunc) << bytes;

    const auto r = run(quote((dir / "gbk").string()) + " --json");
    ASSERT_EQ(r.status, 0) << r.err;
    const json doc = json::parse(r.out);
    ASSERT_EQ(doc["tables"].size(), 1u);
    EXPECT_EQ(doc["tables"][0]["codePage"], 936);
    EXPECT_EQ(doc["tables"][0]["fields"][1]["name"], "中NG");
}

TEST_F(InspectCommandTest, FileNamesInUtf8StayAsTheyAre)
{
    // One name as a Linux file system writes it (UTF-8), one as copied from an older system
    // (the table's code page, Windows-1252).
    fs::create_directories(dir / "names");
    fs::copy_file(SamplePath("pd-fields/time.db"), dir / "names" / "Ação.db");
    fs::copy_file(SamplePath("pd-fields/time.db"), dir / "names" / "Pre\xe7o.db");
    const auto r = run(quote((dir / "names").string()) + " --json");
    ASSERT_EQ(r.status, 0) << r.err;
    const json doc = json::parse(r.out);
    EXPECT_NE(table(doc, "Ação.db"), nullptr) << r.out.substr(0, 400);
    EXPECT_NE(table(doc, "Preço.db"), nullptr) << r.out.substr(0, 400);
}
