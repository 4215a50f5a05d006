// Runs the real morvane-cli diff, then build and run on what it wrote: a copy of the source
// comes out with the wanted structure (fields, keys, indexes, checks, rules) and a renamed
// field keeps its values; and its exit status and messages for wrong command lines.
#include <filesystem>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <map>
#include <string>

#include "CliRunner.h"
#include "db/paradox/ParadoxWriter.h"
#include "model/vxFieldTypes.h"
#include "support/SamplePath.h"
#include "support/TempDir.h"
#include "support/TestFields.h"

namespace {

namespace fs = std::filesystem;
using morvane::test::CliResult;
using morvane::test::MakeField;
using morvane::test::ShellQuote;
using nlohmann::json;

class NoRecords : public morvane::IvxRecordSource
{
public:
    bool Next(morvane::TvxRecord&) override { return false; }
};

class DiffCommandTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        // The source: tables A, B and C of the joins set. The wanted database: the same A and B,
        // and a C whose A is called AA, whose B is gone and which has a new required D.
        fs::create_directories(src);
        for (const auto& e : fs::directory_iterator(morvane::test::SamplePath("pd-joins"))) {
            const std::string stem = e.path().stem().string();
            if (stem == "A" || stem == "B" || stem == "C")
                fs::copy_file(e.path(), src / e.path().filename());
        }
        ASSERT_EQ(run("copy " + ShellQuote(src.string()) + " " + ShellQuote(wanted.string())).status, 0);
        for (const auto& e : fs::directory_iterator(wanted))
            if (e.path().stem() == "C")
                fs::remove(e.path());
        morvane::TvxTableDesc c;
        c.CursorProps().setTableLevel(5);
        c.SetFields({MakeField("C", 1, morvane::fldLong), MakeField("AA", 2, morvane::fldLong),
                     MakeField("D", 3, morvane::fldAlpha, 10)});
        morvane::TvxIndexDesc key;
        key.setPrimary(true);
        key.setUnique(true);
        key.setMaintained(true);
        key.setKeyFieldCount(1);
        key.setKeyField(0, 1);
        c.SetIndexes({key});
        ASSERT_TRUE(c.AddValCheck("", "", *c.GetField(2), true, "", "none"));
        NoRecords none;
        morvane::ParadoxWriteTable(c, none, wanted.string(), "C");
    }

    CliResult run(const std::string& args)
    {
        return morvane::test::RunCli(args, temp.path() / "stderr.txt",
                                     "MORVANE_ENGINE_CONFIG=" + ShellQuote(temp.file("aliases.conf")));
    }
    // Per table what a script carries: fields, indexes, checks, the rules on other tables.
    std::map<std::string, json> structures(const fs::path& dir)
    {
        const CliResult r = run("inspect " + ShellQuote(dir.string()) + " --json");
        EXPECT_EQ(r.status, 0) << r.err;
        std::map<std::string, json> out;
        for (const json& t : json::parse(r.out)["tables"]) {
            json s;
            for (const json& f : t["fields"])
                s["fields"].push_back({f["name"], f["type"], f["units1"], f["units2"]});
            for (const json& x : t["indexes"])
                s["indexes"].push_back({x["name"], x["primary"], x["unique"], x["keyFields"]});
            s["checks"] = t["validityChecks"];
            for (const json& r : t["refInts"])
                if (r["kind"] == "dependent")
                    s["rules"].push_back({r["name"], r["thisFields"], r["otherFields"]});
            out[t["name"].get<std::string>()] = s;
        }
        return out;
    }

    morvane::test::TempDir temp;
    fs::path src = temp.path() / "source";
    fs::path wanted = temp.path() / "wanted";
};

TEST_F(DiffCommandTest, DocumentBuildsAndRunsIntoTheWantedDatabase)
{
    const std::string doc = temp.file("to-wanted.vxscript");
    const CliResult diff = run("diff " + ShellQuote(src.string()) + " " + ShellQuote(wanted.string()) + " -o " +
                               ShellQuote(doc) + " --rename C.A=AA");
    ASSERT_EQ(diff.status, 0) << diff.err;
    for (const char* line : {"Table A: unchanged", "Table C: changed", "  rename field A -> AA", "  create field D",
                             "  delete field B", "  note: field D is created with its default value"})
        EXPECT_NE(diff.out.find(line), std::string::npos) << line << " in\n" << diff.out;

    ASSERT_EQ(run("build " + ShellQuote(doc)).status, 0);
    const fs::path out = temp.path() / "result";
    const CliResult update = run("run " + ShellQuote(temp.file("to-wanted.vxusp")) + " --source " +
                                 ShellQuote(src.string()) + " --target " + ShellQuote(out.string()));
    ASSERT_EQ(update.status, 0) << update.out << update.err;
    const CliResult maintenance =
        run("run " + ShellQuote(temp.file("to-wanted.vxmsp")) + " --source " + ShellQuote(out.string()));
    ASSERT_EQ(maintenance.status, 0) << maintenance.out << maintenance.err;

    EXPECT_EQ(structures(out), structures(wanted));
    const json before = json::parse(run("dump " + ShellQuote(src.string()) + " C --json").out);
    const json after = json::parse(run("dump " + ShellQuote(out.string()) + " C --json").out);
    ASSERT_EQ(after["records"].size(), before["records"].size());
    for (std::size_t i = 0; i < before["records"].size(); ++i) {
        EXPECT_EQ(after["records"][i][0], before["records"][i][0]);
        EXPECT_EQ(after["records"][i][1], before["records"][i][1]) << "AA keeps the values of A";
        EXPECT_EQ(after["records"][i][2], "none") << "the existing records get D's default";
    }
}

TEST_F(DiffCommandTest, WrongCommandLinesAreRefused)
{
    const std::string s = ShellQuote(src.string());
    const std::string w = ShellQuote(wanted.string());
    const std::string o = " -o " + ShellQuote(temp.file("x.vxscript"));
    const struct
    {
        std::string args;
        int status;
        const char* message;
    } cases[] = {
        {"diff " + s + " " + w, 2, "usage: morvane-cli diff"},
        {"diff " + s + o, 2, "usage: morvane-cli diff"},
        {"diff " + s + " " + w + o + " --frobnicate", 2, "usage: morvane-cli diff"},
        {"diff " + s + " " + w + o + " --rename C.Z=AA", 1, "has no field Z"},
        {"diff " + s + " " + w + o + " --rename CA=AA", 1, "TABLE.OLD=NEW"},
        {"diff " + ShellQuote(temp.file("nowhere")) + " " + w + o, 1, "neither a directory nor a known alias"},
    };
    for (const auto& c : cases) {
        const CliResult r = run(c.args);
        EXPECT_EQ(r.status, c.status) << c.args;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << c.args << "\n" << r.err;
    }
    EXPECT_FALSE(fs::exists(temp.file("x.vxscript"))) << "no document from a refused command";
}

} // namespace
