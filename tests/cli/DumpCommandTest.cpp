// Runs the real morvane-cli dump on sample tables: the JSON document's shape and value forms,
// the readable table, --limit, table names as inspect lists them, protected and damaged tables.
#include <filesystem>
#include <gtest/gtest.h>

#include <fstream>
#include <nlohmann/json.hpp>
#include <string>

#include "CliRunner.h"
#include "support/SamplePath.h"
#include "support/TempDir.h"

namespace {

namespace fs = std::filesystem;
using morvane::test::SamplePath;
using morvane::test::ShellQuote;
using nlohmann::json;

class DumpCommandTest : public ::testing::Test
{
protected:
    morvane::test::CliResult run(const std::string& args)
    {
        return morvane::test::RunCli("dump " + args, temp.path() / "stderr.txt",
                                     "MORVANE_ENGINE_CONFIG=" + ShellQuote(temp.file("aliases.conf")));
    }
    std::string samples(const char* set) { return ShellQuote(SamplePath(set)); }

    morvane::test::TempDir temp;
};

TEST_F(DumpCommandTest, JsonHoldsEveryTypeInItsForm)
{
    const auto r = run(samples("rparadox-extdata") + " TypSammlung --json");
    ASSERT_EQ(r.status, 0) << r.err;
    const json doc = json::parse(r.out);
    EXPECT_EQ(doc["name"], "TypSammlung");
    const auto& fields = doc["fields"];
    ASSERT_EQ(fields.size(), 14u);
    ASSERT_EQ(doc["records"].size(), 5u);
    for (const auto& rec : doc["records"]) {
        ASSERT_EQ(rec.size(), fields.size());
        for (std::size_t i = 0; i < fields.size(); ++i) {
            const auto& v = rec[i];
            if (v.is_null())
                continue;
            const std::string typeName = fields[i]["typeName"];
            switch (fields[i]["type"].get<int>()) {
            case 261:
            case 267:
            case 271:
                EXPECT_TRUE(v.is_number_integer()) << typeName;
                break;
            case 258:
            case 259:
                EXPECT_TRUE(v.is_number()) << typeName;
                break;
            case 270:
                EXPECT_TRUE(v.is_boolean()) << typeName;
                break;
            // The sample holds a date before year 1 ("-0001-12-31").
            case 260:
                EXPECT_EQ(v.get<std::string>().find('-', v.get<std::string>().size() - 6),
                          v.get<std::string>().size() - 6)
                    << v;
                break;
            case 268:
                EXPECT_EQ(v.get<std::string>().size(), 12u) << v;
                break;
            case 269:
                EXPECT_EQ(v.get<std::string>().find('T'), v.get<std::string>().size() - 13) << v;
                break;
            case 273: // exactly the field's decimals
                EXPECT_EQ(v.get<std::string>().size() - v.get<std::string>().find('.') - 1, 6u) << v;
                break;
            default:
                EXPECT_TRUE(v.is_string()) << typeName;
                break;
            }
        }
    }
}

TEST_F(DumpCommandTest, ReadableTableAndLimit)
{
    auto r = run(samples("pd-areas") + " ZIPCODES.DB --limit 3");
    ASSERT_EQ(r.status, 0) << r.err;
    std::size_t lines = 0;
    for (char c : r.out)
        lines += c == '\n';
    EXPECT_EQ(lines, 4u); // the field names, then three records
    r = run(samples("pd-areas") + " zipcodes --json --limit 0");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(json::parse(r.out)["records"].empty());
    r = run(samples("pd-areas") + " NOSUCH");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("NOSUCH"), std::string::npos) << r.err;
    EXPECT_EQ(run(samples("pd-areas") + " ZIPCODES --limit x").status, 2);
}

TEST_F(DumpCommandTest, ProtectedTableNeedsItsPassword)
{
    temp.copySamples({"pd-encrypt/encrypted.db"});
    const std::string dir = ShellQuote(temp.str());
    auto r = run(dir + " encrypted --json");
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.out.empty()) << r.out;
    EXPECT_NE(r.err.find("password"), std::string::npos) << r.err;
    r = run(dir + " encrypted --password 123 --json");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(json::parse(r.out)["records"].size(), 4u);
}

TEST_F(DumpCommandTest, DamagedValuesAreReportedAndTheDocumentStaysValid)
{
    // bcd.db: the 32-decimal column holds nibbles that are no digits past the engine's
    // precision (read up to them, said once); here record 1's first digit is made one too.
    temp.copySamples({"pd-fields/bcd.db"});
    {
        std::fstream f(temp.file("bcd.db"), std::ios::in | std::ios::out | std::ios::binary);
        f.seekp(2048 + 6 + 2 * 17 + 1); // header, block header, fields A and B, byte 0 of C
        f.put('\xE0');
    }
    const auto r = run(ShellQuote(temp.str()) + " bcd --json");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("record 1, field 3 (C): the BCD value is damaged"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("field 3 (C): imprecise BCD values"), std::string::npos) << r.err;
    const json doc = json::parse(r.out);
    ASSERT_EQ(doc["records"].size(), 3u);
    EXPECT_EQ(doc["records"][0][0], "1.23");
    EXPECT_EQ(doc["records"][1][0], "-1.23");
    EXPECT_TRUE(doc["records"][0][2].is_null());
    EXPECT_EQ(doc["records"][1][2], "-0.12299999999999999800000000000000");
}

} // namespace
