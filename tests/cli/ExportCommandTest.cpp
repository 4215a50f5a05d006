// Runs the real morvane-cli export: what each kind of command line prints and exits with.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <utility>
#include <vector>

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
    // A table of its own, behind a linked directory: never replaced, even when forced.
    fs::create_directory(temp.file("own"));
    fs::copy_file(SamplePath("pd-fields/long.db"), temp.file("own/long.db"));
    fs::create_directory_symlink(temp.file("own"), temp.file("link"));
    const std::string own = ShellQuote(temp.file("own"));
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
        {own + " --to sqlite --force --output " + ShellQuote(temp.file("link/LONG.DB")), 1,
         "is a file of table long.db of the database exported; it is not replaced"},
        {own + " --to csv --force --output " + ShellQuote(temp.file("link")), 1, "is a file of table long.db"},
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
    EXPECT_EQ(morvane::test::Slurp(temp.file("own/long.db")), morvane::test::Slurp(SamplePath("pd-fields/long.db")));
}

// The connection string is never printed: it may hold a password.
TEST(ExportCommand, PostgresKeepsTheConnectionStringToItself)
{
    morvane::test::TempDir temp;
    const std::string joins = ShellQuote(SamplePath("pd-joins")) + " --to postgres --table A";
    std::vector<std::pair<std::string, int>> cases = {
        {" --output x --dsn 'password=sekrit'", 2},
        {" --dsn 'host=/nonexistent password=sekrit'", 1},
        {" --dsn 'postgresql://u:sekrit%zz@h/db'", 1}, // libpq quotes the token it cannot decode
    };
    if (const char* socket = std::getenv("MORVANE_TEST_POSTGRES_SOCKET"))
        cases.emplace_back(
            " --force --schema cli --dsn " +
                ShellQuote(std::string("host=") + socket + " user=postgres dbname=postgres password=sekrit"),
            0);
    else
        std::printf("no PostgreSQL server to test against (MORVANE_TEST_POSTGRES_SOCKET is not set): not exported\n");
    for (const auto& [arguments, status] : cases) {
        SCOPED_TRACE(arguments);
        const auto r = morvane::test::RunCli("export " + joins + arguments, temp.path() / "stderr.txt",
                                             "MORVANE_ENGINE_CONFIG=" + ShellQuote(temp.file("aliases.conf")));
        EXPECT_EQ(r.status, status) << r.err;
        EXPECT_EQ((r.out + r.err).find("sekrit"), std::string::npos) << r.out << r.err;
        EXPECT_NE((r.out + r.err)
                      .find(status == 0   ? "A: 3 records\nExported 1 tables to schema cli\n"
                            : status == 1 ? "cannot connect to PostgreSQL"
                                          : "usage: morvane-cli export"),
                  std::string::npos)
            << r.out << r.err;
    }
}

} // namespace
