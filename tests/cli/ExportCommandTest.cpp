// Runs the real morvane-cli export: what each kind of command line prints and exits with.
#include <filesystem>
#include <gtest/gtest.h>
#include <string>

#include "CliRunner.h"
#include "support/SamplePath.h"
#include "support/TempDir.h"

namespace {

namespace fs = std::filesystem;
using morvane::test::SamplePath;
using morvane::test::ShellQuote;

TEST(ExportCommand, ExitStatusAndMessages)
{
    morvane::test::TempDir temp;
    const std::string fields = ShellQuote(SamplePath("pd-fields"));
    const std::string encrypt = ShellQuote(SamplePath("pd-encrypt"));
    const std::string out = ShellQuote(temp.file("out"));
    temp.write("taken", "x");
    const struct
    {
        std::string arguments;
        int status;
        const char* printed; // in standard output, or in standard error for a failure
    } cases[] = {
        {fields + " --to sqlite --output " + out + " --table LONG --table time.db", 0,
         "long: 3 records\ntime: 3 records\n"},
        {fields + " --to csv --output " + out, 1, "exists (--force replaces it)"},
        {fields + " --to csv --output " + out + " --force", 1, "is not a directory"},
        {fields + " --to csv --output " + ShellQuote(temp.file("csv")) + " --table bcd", 0, "bcd: 3 records\n"},
        {fields + " --to xml --output " + out, 2, "usage: morvane-cli export"},
        {fields + " --to csv", 2, "usage: morvane-cli export"},
        {fields + " --to csv --output " + ShellQuote(temp.file("taken")) + " --table nope", 1, "no table nope"},
        {encrypt + " --to sqlite --output " + ShellQuote(temp.file("enc")), 1, "password"},
        {encrypt + " --to sqlite --output " + ShellQuote(temp.file("enc")) + " --password 123", 0,
         "Exported 3 tables to"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments);
        const auto r = morvane::test::RunCli("export " + c.arguments, temp.path() / "stderr.txt",
                                             "MORVANE_ENGINE_CONFIG=" + ShellQuote(temp.file("aliases.conf")));
        EXPECT_EQ(r.status, c.status) << r.err;
        EXPECT_NE((c.status == 0 || c.status == 3 ? r.out : r.err).find(c.printed), std::string::npos)
            << r.out << r.err;
    }
    EXPECT_TRUE(fs::is_regular_file(temp.file("out"))); // not replaced by the refused export
}

} // namespace
