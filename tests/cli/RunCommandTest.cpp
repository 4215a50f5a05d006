// Runs the real morvane-cli run on copies of sample tables: the report on stdout (text or
// JSON), the message on stderr, the exit status.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include <nlohmann/json.hpp>

#include "script/vxUpdateScriptFile.h"
#include "support/SamplePath.h"
#include "support/TempDir.h"
#include "support/TestScript.h"

#include "CliRunner.h"

namespace morvane {
namespace {

namespace fs = std::filesystem;

class RunCommandTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        fs::create_directories(src);
        for (const char* f : {"pd-areas/ZIPCODES.DB", "pd-areas/ZIPCODES.PX", "pd-areas/ZIPCODES.VAL", "pd-joins/A.db",
                              "pd-joins/A.PX"})
            fs::copy_file(test::SamplePath(f), src / fs::path(f).filename());
        test::TestScript cut; // City shortened from 25 to 12 characters
        cut.Add(ckAddTable, {"ZIP", "ZIPCODES.DB"});
        cut.Add(ckChangeField, {"ZIP", "City", 3, 257, 25, 25, "City", 3, 257, 12, 12});
        SaveUpdateScript(cutScript, "Morvane", cut);
        test::TestScript copy;
        copy.Add(ckAddTable, {"A", "A.db"});
        SaveUpdateScript(copyScript, "Morvane", copy);
    }

    test::CliResult Run(const std::string& args) { return test::RunCli("run " + args, tmp.path() / "err.txt"); }
    std::string Q(const fs::path& p) const { return test::ShellQuote(p.string()); }

    test::TempDir tmp;
    fs::path src = tmp.path() / "source";
    fs::path dst = tmp.path() / "target";
    std::string cutScript = tmp.file("cut.vxusp");
    std::string copyScript = tmp.file("copy.vxusp");
};

TEST_F(RunCommandTest, ReportsAndExitStatus)
{
    EXPECT_EQ(Run("").status, 2);
    EXPECT_EQ(Run(Q(copyScript)).status, 2) << "--source is required";
    EXPECT_EQ(Run(Q(copyScript) + " --source " + Q(src) + " --bogus").status, 2);

    // The preview: JSON, problems foreseen, nothing written.
    const test::CliResult preview = Run(Q(cutScript) + " --source " + Q(src) + " --target " + Q(dst) + " --dry-run --json");
    EXPECT_EQ(preview.status, 3) << preview.err;
    const nlohmann::json report = nlohmann::json::parse(preview.out);
    EXPECT_TRUE(report["dryRun"].get<bool>());
    EXPECT_EQ(report["code"], 300);
    EXPECT_EQ(report["tables"][0]["problemTable"], "PROBLEM_ZIP.DB");
    EXPECT_GT(report["valuesCut"].get<int>(), 0);
    EXPECT_FALSE(fs::exists(dst));
    EXPECT_EQ(preview.err.find('\r'), std::string::npos) << "no progress when stderr is no terminal";

    // The run itself, as text.
    const test::CliResult run = Run(Q(cutScript) + " --source " + Q(src) + " --target " + Q(dst));
    EXPECT_EQ(run.status, 3);
    EXPECT_NE(run.out.find("Table ZIP.DB"), std::string::npos) << run.out;
    EXPECT_NE(run.err.find("tabelas de problemas"), std::string::npos) << run.err;
    EXPECT_TRUE(fs::exists(dst / "ZIP.DB"));
    EXPECT_TRUE(fs::exists(dst / "PROBLEM_ZIP.DB"));

    const test::CliResult clean = Run(Q(copyScript) + " --source " + Q(src) + " --target " + Q(dst / "copy"));
    EXPECT_EQ(clean.status, 0) << clean.err;
    EXPECT_TRUE(clean.err.empty()) << clean.err;
    EXPECT_TRUE(fs::exists(dst / "copy" / "A.db")); // the extension as its source spelled it

    const test::CliResult missing = Run(Q(tmp.file("none.vxusp")) + " --source " + Q(src));
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.err.find("O arquivo de script não foi encontrado"), std::string::npos) << missing.err;
}

} // namespace
} // namespace morvane
