// morvane-cli export: the tables of a directory or alias, with their records, to CSV files, to
// one SQLite database or into a PostgreSQL schema; the databases keep their keys, indexes,
// checks and rules.
#include "db/cpDatabase.h"

#include <cstdio>
#include <string>
#include <vector>

#include "CliCommands.h"
#include "CliConnect.h"
#include "export/EvxExportError.h"
#include "export/TvxExporter.h"
#include "model/vxCodePage.h"

namespace morvane::cli {

namespace {

int usage()
{
    std::fprintf(stderr,
                 "usage: morvane-cli export <directory-or-alias> --to csv|sqlite --output <path> [--table T]...\n"
                 "                          [--password P]... [--force]\n"
                 "       morvane-cli export <directory-or-alias> --to postgres --dsn <connection string>\n"
                 "                          [--schema S] [--table T]... [--password P]... [--force]\n");
    return 2;
}

// "--name value" or "--name=value"; false when arg is not that option.
bool optionValue(int argc, char** argv, int& i, const std::string& name, std::string& value)
{
    const std::string a = argv[i];
    if (a == name && i + 1 < argc) {
        value = argv[++i];
        return true;
    }
    if (a.rfind(name + "=", 0) == 0) {
        value = a.substr(name.size() + 1);
        return true;
    }
    return false;
}

} // namespace

int RunExport(int argc, char** argv)
{
    std::string source;
    std::string format;
    std::string output;
    std::string dsn;
    bool hasDsn = false;
    bool hasSchema = false;
    std::vector<std::string> passwords;
    TvxExportOptions options;
    for (int i = 0; i < argc; ++i) {
        std::string value;
        if (optionValue(argc, argv, i, "--to", format))
            continue;
        if (optionValue(argc, argv, i, "--output", output))
            continue;
        if (optionValue(argc, argv, i, "--dsn", dsn)) {
            hasDsn = true;
            continue;
        }
        if (optionValue(argc, argv, i, "--schema", options.schema)) {
            hasSchema = true;
            continue;
        }
        if (optionValue(argc, argv, i, "--table", value))
            options.tables.push_back(value);
        else if (optionValue(argc, argv, i, "--password", value))
            passwords.push_back(value);
        else if (std::string(argv[i]) == "--force")
            options.force = true;
        else if (std::string(argv[i]).rfind("--", 0) == 0 || !source.empty())
            return usage();
        else
            source = argv[i];
    }
    if (format == "csv")
        options.format = TvxExportFormat::Csv;
    else if (format == "sqlite")
        options.format = TvxExportFormat::Sqlite;
    else if (format == "postgres")
        options.format = TvxExportFormat::Postgres;
    else
        return usage();
    const bool postgres = options.format == TvxExportFormat::Postgres;
    // The connection string may hold a password: it is never printed.
    options.output = postgres ? dsn : output;
    const std::string where = postgres ? "schema " + options.schema : output;
    if (source.empty() ||
        (postgres ? !hasDsn || !output.empty() || options.schema.empty() : output.empty() || hasDsn || hasSchema))
        return usage();

    try {
        auto engine = CreateParadoxEngine();
        TvxDatabase db(*engine);
        if (!Connect(db, source, passwords))
            return 1;
        const TvxExportResult result = ExportDatabase(db, options);
        std::uint64_t notAsTheyAre = 0;
        for (const auto& t : result.tables) {
            std::printf("%s: %llu records", t.name.c_str(), static_cast<unsigned long long>(t.records));
            if (t.rejected > 0)
                std::printf(", %llu refused", static_cast<unsigned long long>(t.rejected));
            if (t.damaged > 0)
                std::printf(", %llu with a damaged value", static_cast<unsigned long long>(t.damaged));
            if (t.altered > 0)
                std::printf(", %llu with NUL bytes changed", static_cast<unsigned long long>(t.altered));
            std::printf("\n");
            notAsTheyAre += t.rejected + t.damaged + t.altered;
        }
        for (const auto& w : result.warnings)
            std::fprintf(stderr, "morvane-cli: warning: %s\n", FileSystemName(w, vxNewTableCodePage).c_str());
        for (const auto& s : result.skipped)
            std::fprintf(stderr, "morvane-cli: %s\n", FileSystemName(s, vxNewTableCodePage).c_str());
        std::printf("Exported %zu tables to %s\n", result.tables.size(), where.c_str());
        return notAsTheyAre > 0 || !result.skipped.empty() ? 3 : 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "morvane-cli: %s\n", e.what());
    }
    return 1;
}

} // namespace morvane::cli
