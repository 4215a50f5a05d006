// Runs the real morvane-cli copy on every sample set: the copy has the structure `inspect`
// shows and the records `dump` shows of the source, keeps passwords, can change the level,
// refuses its source and a target holding a table of the same name, and reports the table it
// cannot copy (a damaged value) without leaving any of its files. A copy killed inside its
// commit is recovered by the next copy; files of a table we do not rewrite go along.
#include <filesystem>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <map>
#include <set>
#include <string>

#include "CliRunner.h"
#include "model/vxTextCase.h"
#include "support/SamplePath.h"
#include "server/TvxStagingArea.h"
#include "support/TempDir.h"
#include "support/TvxKillingFiles.h"

namespace {

namespace fs = std::filesystem;
using nlohmann::json;
using morvane::test::CliResult;
using morvane::test::SamplePath;
using morvane::test::ShellQuote;

class CopyCommandTest : public ::testing::Test
{
protected:
    CliResult run(const std::string& args)
    {
        return morvane::test::RunCli(args, temp.path() / "stderr.txt",
                                     "MORVANE_ENGINE_CONFIG=" + ShellQuote(temp.file("aliases.conf")));
    }
    CliResult copy(const std::string& source, const std::string& target, const std::string& extra = "")
    {
        return run("copy " + ShellQuote(source) + " " + ShellQuote(target) + extra);
    }
    // Tables by name as inspect shows them, without the file name's letter case.
    std::map<std::string, json> inspect(const std::string& dir, const std::string& extra = " --password 123")
    {
        const CliResult r = run("inspect " + ShellQuote(dir) + " --json" + extra);
        EXPECT_EQ(r.status, 0) << r.err;
        std::map<std::string, json> out;
        const json doc = json::parse(r.out);
        for (auto t : doc["tables"]) {
            t.erase("fileName");
            out[t["name"].get<std::string>()] = t;
        }
        return out;
    }
    std::set<std::string> files(const std::string& dir)
    {
        std::set<std::string> out;
        for (const auto& e : fs::directory_iterator(dir))
            out.insert(e.path().filename().string());
        return out;
    }

    morvane::test::TempDir temp;
};

TEST_F(CopyCommandTest, EverySampleSetIsCopiedWithItsStructureAndRecords)
{
    for (const char* set : {"pd-areas", "pd-encrypt", "pd-fields", "pd-joins", "rparadox-extdata"}) {
        const std::string target = temp.file(std::string("copies/") + set);
        const CliResult r = copy(SamplePath(set), target, " --password 123");
        const auto source = inspect(SamplePath(set));
        const auto copied = inspect(target);
        EXPECT_EQ(r.status, 0) << r.err;
        // bcd.db holds nibbles over 9 past the engine's precision: read up to them, and said.
        if (std::string(set) == "pd-fields") {
            EXPECT_NE(r.err.find("imprecise BCD values"), std::string::npos) << r.err;
        }
        EXPECT_EQ(copied.size(), source.size()) << set;
        std::map<std::string, std::string> sourceFiles; // by name in capitals
        for (const auto& f : files(SamplePath(set)))
            sourceFiles[morvane::UpperText(f)] = f;
        for (const auto& f : files(target)) // each file the source had named in its letter case
            if (sourceFiles.count(morvane::UpperText(f))) {
                EXPECT_EQ(sourceFiles[morvane::UpperText(f)], f) << set;
            }
        for (const auto& [name, table] : copied) {
            EXPECT_EQ(table, source.at(name)) << set << "/" << name;
            std::string args = " ";
            args += ShellQuote(name);
            args += " --json --password 123";
            const CliResult before = run("dump " + ShellQuote(SamplePath(set)) + args);
            const CliResult after = run("dump " + ShellQuote(target) + args);
            EXPECT_EQ(after.status, 0) << after.err;
            EXPECT_EQ(after.out, before.out) << set << "/" << name;
        }
    }
}

TEST_F(CopyCommandTest, PasswordsAreKeptAndNeededToRead)
{
    const std::string target = temp.file("secret");
    const CliResult without = copy(SamplePath("pd-encrypt"), temp.file("nothing"));
    EXPECT_EQ(without.status, 3); // a table left out
    EXPECT_NE(without.err.find("password"), std::string::npos) << without.err;

    ASSERT_EQ(copy(SamplePath("pd-encrypt"), target, " --password 123").status, 0);
    for (const auto& [name, table] : inspect(target))
        EXPECT_TRUE(table["protected"].get<bool>()) << name;
    EXPECT_NE(run("dump " + ShellQuote(target) + " encrypted").status, 0);
    EXPECT_EQ(run("dump " + ShellQuote(target) + " encrypted --password 123").status, 0);
}

TEST_F(CopyCommandTest, LevelCanBeChosenAndIsRaisedWhereTheTypesNeedIt)
{
    const std::string target = temp.file("levels");
    const CliResult r = copy(SamplePath("pd-fields"), target, " --level 4 --password 123");
    EXPECT_NE(r.err.find("long.db: level 4 raised to 5"), std::string::npos) << r.err;
    const auto copied = inspect(target);
    EXPECT_EQ(copied.at("date4")["level"], 4);
    EXPECT_EQ(copied.at("date35")["level"], 4); // level 3.5 raised as asked
    EXPECT_EQ(copied.at("long")["level"], 5);

    const std::string seven = temp.file("seven");
    ASSERT_EQ(copy(SamplePath("pd-joins"), seven, " --level 7").status, 0);
    for (const auto& [name, table] : inspect(seven))
        EXPECT_EQ(table["level"], 7) << name;
}

TEST_F(CopyCommandTest, SourceTargetsAndTakenNamesAreRefused)
{
    const std::string target = temp.file("once");
    ASSERT_EQ(copy(SamplePath("pd-joins"), target).status, 0);
    const std::set<std::string> before = files(target);

    const CliResult again = copy(SamplePath("pd-joins"), target);
    EXPECT_EQ(again.status, 1);
    EXPECT_NE(again.err.find("already holds"), std::string::npos) << again.err;
    EXPECT_EQ(files(target), before);

    const CliResult self = copy(target, target + "/.");
    EXPECT_EQ(self.status, 1);
    EXPECT_NE(self.err.find("is the source directory"), std::string::npos) << self.err;
    EXPECT_EQ(files(target), before);

    EXPECT_EQ(run("copy " + ShellQuote(target)).status, 2);
    EXPECT_EQ(run("copy " + ShellQuote(target) + " " + ShellQuote(temp.file("x")) + " --level 6").status, 2);
    EXPECT_EQ(copy(temp.file("no such directory"), temp.file("y")).status, 1);
}

} // namespace

TEST_F(CopyCommandTest, AKilledCopyIsRecoveredByTheNextAndCarriesTheTableView)
{
    const fs::path source = temp.path() / "source";
    fs::create_directories(source);
    for (const char* f : {"A.db", "A.PX", "A.VAL", "B.db", "B.PX", "B.VAL", "C.DB", "C.PX", "C.VAL", "C.X02", "C.Y02",
                          "C.X03", "C.Y03"})
        fs::copy_file(SamplePath(std::string("pd-joins/") + f), source / f);
    temp.write("source/A.TV", "view of A");
    temp.write("source/A.FAM", "family of A");
    int kills = 0;
    int rolledBack = 0;
    int completed = 0;
    for (int kill = 1;; ++kill, ++kills) {
        // A copy killed at that step of its commit: every family staged, then the moves.
        const fs::path target = temp.path() / ("killed" + std::to_string(kill));
        fs::create_directories(target);
        morvane::test::TvxKillingFiles killing(kill);
        try {
            morvane::TvxStagingArea staging(killing, target.string());
            for (const auto& e : fs::directory_iterator(source))
                fs::copy_file(e.path(), fs::path(staging.Path()) / e.path().filename());
            staging.Commit({"A", "B", "C"});
        } catch (const std::exception&) {
        }
        if (!killing.Killed())
            break;
        const CliResult r = copy(source.string(), target.string());
        // Rolled back (or never begun): copied now; else complete, so the tables are taken.
        EXPECT_TRUE(r.status == 0 || r.err.find("already holds") != std::string::npos) << r.err;
        rolledBack += r.err.find("note: An interrupted run was rolled back") != std::string::npos;
        completed += r.err.find("note: An interrupted run was completed") != std::string::npos;
        for (const char* table : {"A", "B", "C"})
            EXPECT_EQ(run("dump " + ShellQuote(target.string()) + " " + table).status, 0) << kill << " " << table;
        EXPECT_EQ(temp.read(target.filename().string() + "/A.TV"), "view of A");
        EXPECT_EQ(temp.read(target.filename().string() + "/A.FAM"), "family of A");
        for (const auto& f : files(target.string()))
            EXPECT_EQ(f.find(".morvane"), std::string::npos) << f << " left after kill " << kill;
    }
    EXPECT_GT(kills, 20);
    EXPECT_GT(rolledBack, 10);
    EXPECT_GT(completed, 0);
}
