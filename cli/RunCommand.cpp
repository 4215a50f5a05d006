// morvane-cli run: applies an update script (.vxusp) or a maintenance script (.vxmsp) to a
// database through the update server, or previews it (--dry-run), and prints the report as
// text or as JSON. Exit status: 0 done, 3 done with records kept in problem tables, 1 the run
// failed (the result code's message on stderr, the target as it was), 2 usage error.
#include <cstdio>
#include <cstring>
#include <string>
#include <unistd.h>
#include <vector>

#include "CliCommands.h"
#include "script/CovxUpdateServer.h"
#include "script/TvxUpdateReport.h"
#include "script/vxUpdateServerCodes.h"
#include "server/TvxUpdateServer.h"

namespace morvane::cli {

namespace {

constexpr int ExitProblems = 3;

int usage()
{
    std::fprintf(stderr, "usage: morvane-cli run <script.vxusp|script.vxmsp> --source <directory-or-alias> "
                         "[--target <directory>] [--password P]... [--dry-run] [--json]\n");
    return 2;
}

struct TvxRunArgs
{
    std::string script;
    std::string source;
    std::string target;
    std::vector<std::string> passwords;
    bool dryRun = false;
    bool json = false;
};

bool parse(int argc, char** argv, TvxRunArgs& args)
{
    bool sourceGiven = false;
    for (int i = 0; i < argc; ++i) {
        const std::string a = argv[i];
        const bool hasValue = i + 1 < argc;
        if (a == "--source" && hasValue) {
            args.source = argv[++i];
            sourceGiven = true;
        } else if (a == "--target" && hasValue) {
            args.target = argv[++i];
        } else if (a == "--password" && hasValue) {
            args.passwords.emplace_back(argv[++i]);
        } else if (a == "--dry-run") {
            args.dryRun = true;
        } else if (a == "--json") {
            args.json = true;
        } else if (!a.empty() && a[0] != '-' && args.script.empty()) {
            args.script = a;
        } else {
            return false;
        }
    }
    return !args.script.empty() && sourceGiven;
}

} // namespace

int RunRun(int argc, char** argv)
{
    TvxRunArgs args;
    if (!parse(argc, argv, args))
        return usage();
    RegisterUpdateServer();
    std::unique_ptr<IvxUpdateServer> server = CovxUpdateServer::Create();
    server->SetSource(args.source);
    server->SetNewPath(args.target);
    server->SetScriptFile(args.script);
    for (const std::string& p : args.passwords)
        server->AddPassword(p);
    server->SetDryRun(args.dryRun);
    const bool terminal = ::isatty(STDERR_FILENO) != 0;
    if (terminal)
        server->SetProgress([](const TvxUpdateProgress& p) {
            if (p.total > 0)
                std::fprintf(stderr, "\r%s: %lld of %lld records", p.table.c_str(), static_cast<long long>(p.done),
                             static_cast<long long>(p.total));
            else
                std::fprintf(stderr, "\r%s: %lld records", p.table.c_str(), static_cast<long long>(p.done));
            std::fflush(stderr);
        });
    const int code = server->Run();
    if (terminal)
        std::fprintf(stderr, "\r\033[K");
    const TvxUpdateReport& report = server->Report();
    const std::string out = args.json ? report.Json() + "\n" : report.Text();
    std::fwrite(out.data(), 1, out.size(), stdout);
    if (code == vxRunOK)
        return 0;
    std::fprintf(stderr, "morvane-cli: %s\n", report.message.c_str());
    return code == vxRunProblems ? ExitProblems : 1;
}

} // namespace morvane::cli
