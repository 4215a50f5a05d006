// Runs the real morvane-cli diff, then build and run on the document it wrote: a copy of the
// source comes out with the wanted database's structure; wrong command lines are refused, and
// so is an output that exists (unless forced) or belongs to either database (always).
#include <filesystem>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <string>

#include "CliRunner.h"
#include "support/SamplePath.h"
#include "support/TempDir.h"

namespace {

namespace fs = std::filesystem;
using morvane::test::CliResult;
using morvane::test::ShellQuote;
using nlohmann::json;

class DiffCommandTest : public ::testing::Test
{
protected:
    // The source: tables A, B and C of the joins set; the wanted database also has long.
    void SetUp() override
    {
        fs::create_directories(src);
        fs::create_directories(wanted);
        for (const auto& e : fs::directory_iterator(morvane::test::SamplePath("pd-joins")))
            if (std::string("ABC").find(e.path().stem().string()) != std::string::npos) {
                fs::copy_file(e.path(), src / e.path().filename());
                fs::copy_file(e.path(), wanted / e.path().filename());
            }
        for (const char* f : {"pd-fields/long.db", "pd-fields/long.px"})
            fs::copy_file(morvane::test::SamplePath(f), wanted / fs::path(f).filename());
    }

    CliResult run(const std::string& args)
    {
        return morvane::test::RunCli(args, temp.path() / "stderr.txt",
                                     "MORVANE_ENGINE_CONFIG=" + ShellQuote(temp.file("aliases.conf")));
    }
    // The fields, indexes and checks of every table, as inspect shows them.
    json structures(const fs::path& dir)
    {
        const CliResult r = run("inspect " + ShellQuote(dir.string()) + " --json");
        EXPECT_EQ(r.status, 0) << r.err;
        const json parsed = json::parse(r.out);
        json out;
        for (const json& t : parsed["tables"])
            out[t["name"].get<std::string>()] = {t["fields"], t["indexes"], t["validityChecks"]};
        return out;
    }

    morvane::test::TempDir temp;
    fs::path src = temp.path() / "source";
    fs::path wanted = temp.path() / "wanted";
};

TEST_F(DiffCommandTest, DocumentBuildsAndRunsIntoTheWantedDatabase)
{
    const std::string doc = temp.file("to-wanted.vxscript");
    const CliResult diff =
        run("diff " + ShellQuote(src.string()) + " " + ShellQuote(wanted.string()) + " -o " + ShellQuote(doc));
    ASSERT_EQ(diff.status, 0) << diff.err;
    for (const char* line : {"Table A: unchanged", "Table C: unchanged", "Table long: created", "  create field LONG"})
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
}

TEST_F(DiffCommandTest, WrongCommandLinesAreRefused)
{
    const std::string dbs = ShellQuote(src.string()) + " " + ShellQuote(wanted.string());
    const std::string o = " -o " + ShellQuote(temp.file("x.vxscript"));
    const struct
    {
        std::string args;
        int status;
        const char* message;
    } cases[] = {
        {"diff " + dbs, 2, "usage: morvane-cli diff"},
        {"diff " + ShellQuote(src.string()) + o, 2, "usage: morvane-cli diff"},
        {"diff " + dbs + o + " --frobnicate", 2, "usage: morvane-cli diff"},
        {"diff " + dbs + o + " --rename C.Z=AA", 1, "has no field Z"},
        {"diff " + dbs + o + " --rename CA=AA", 1, "TABLE.OLD=NEW"},
        {"diff " + ShellQuote(temp.file("nowhere")) + " " + ShellQuote(wanted.string()) + o, 1,
         "neither a directory nor a known alias"},
    };
    for (const auto& c : cases) {
        const CliResult r = run(c.args);
        EXPECT_EQ(r.status, c.status) << c.args;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << c.args << "\n" << r.err;
    }
    EXPECT_FALSE(fs::exists(temp.file("x.vxscript"))) << "no document from a refused command";
}

TEST_F(DiffCommandTest, OutputReplacesNoDatabaseFileAndAnOtherFileOnlyWhenForced)
{
    const std::string dbs = ShellQuote(src.string()) + " " + ShellQuote(wanted.string());
    const std::string table = morvane::test::Slurp(src / "A.db");
    temp.write("taken.vxscript", "mine");
    fs::create_directory_symlink(src, temp.path() / "link");
    fs::create_symlink(src / "C.X02", temp.path() / "index.vxscript");
    const struct
    {
        std::string output;
        bool force;
        const char* message; // null: written
    } cases[] = {
        {temp.file("taken.vxscript"), false, "taken.vxscript exists (--force replaces it)"},
        {(src / "A.db").string(), true, "is a file of table A.db of the source database"},
        {(wanted / "c.px").string(), true, "is a file of table C.DB of the wanted database"},
        {temp.file("link/B.vxscript"), true, "is a file of table B.db of the source database"},
        {temp.file("index.vxscript"), true, "is a file of table C.DB of the source database"},
        {temp.file("link"), true, "is the directory of the source database"},
        {temp.file("taken.vxscript"), true, nullptr},
    };
    for (const auto& c : cases) {
        const CliResult r = run("diff " + dbs + " -o " + ShellQuote(c.output) + (c.force ? " --force" : ""));
        EXPECT_EQ(r.status, c.message ? 1 : 0) << c.output << "\n" << r.err;
        if (c.message) {
            EXPECT_NE(r.err.find(c.message), std::string::npos) << c.output << "\n" << r.err;
        }
    }
    EXPECT_EQ(morvane::test::Slurp(src / "A.db"), table);
    EXPECT_TRUE(fs::is_symlink(temp.path() / "index.vxscript"));
    EXPECT_FALSE(fs::exists(src / "B.vxscript"));
    EXPECT_NE(morvane::test::Slurp(temp.file("taken.vxscript")), "mine");
}

} // namespace
