// morvane-cli build: loads a script document as the editor opens it (its commands replayed
// against its source database, or the one given with --source) and writes the update script
// (.vxusp) and the maintenance script (.vxmsp) beside it, with the editor's checks and
// messages. Exit status: 0 both written, 1 a check failed or an error (message on stderr),
// 2 usage error.
#include <cstdio>
#include <string>
#include <vector>

#include "CliCommands.h"
#include "CliDocument.h"
#include "db/cpDatabase.h"
#include "model/vxNameRules.h"
#include "script/TvxScriptTableList.h"
#include "script/cpDBStructScript.h"
#include "script/vxScriptCreate.h"

namespace morvane::cli {

namespace {

constexpr const char* AppName = "Morvane";

int usage()
{
    std::fprintf(stderr, "usage: morvane-cli build <document.vxscript> [--source <directory-or-alias>] [--password P]...\n");
    return 2;
}

struct TvxBuildArgs
{
    std::string document;
    std::string source; // empty: the document's own source database
    std::vector<std::string> passwords;
};

bool parse(int argc, char** argv, TvxBuildArgs& args)
{
    for (int i = 0; i < argc; ++i) {
        const std::string a = argv[i];
        const bool hasValue = i + 1 < argc;
        if (a == "--source" && hasValue && argv[i + 1][0] != '\0')
            args.source = argv[++i];
        else if (a == "--password" && hasValue)
            args.passwords.emplace_back(argv[++i]);
        else if (!a.empty() && a[0] != '-' && args.document.empty())
            args.document = a;
        else
            return false;
    }
    return !args.document.empty();
}

} // namespace

int RunBuild(int argc, char** argv)
{
    TvxBuildArgs args;
    if (!parse(argc, argv, args))
        return usage();
    try {
        TvxSourceTables sourceTables;
        auto engine = CreateParadoxEngine();
        TvxDatabase db(*engine);
        TvxScriptTableList tables;
        TvxDBScript script;
        if (!LoadDocument(args.document, args.source, args.passwords, db, sourceTables, tables, script))
            return 1;
        std::string subject;
        const int code = CreateScripts(args.document, AppName, script, tables, &subject);
        if (code != TvxScriptMsg::ScriptsCreated) {
            PrintScriptMessage(code, subject);
            if (code == TvxScriptMsg::TableNameNotAllowed)
                std::fprintf(stderr, "morvane-cli: %s\n", NameFaultText(TableNameFault(subject)).c_str());
            return 1;
        }
        const TvxScriptFileNames names = ScriptFileNames(args.document);
        std::printf("%s\n%s\n%s\n", ScriptMessageText(code).c_str(), names.update.c_str(), names.maintenance.c_str());
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "morvane-cli: %s\n", e.what());
    }
    return 1;
}

} // namespace morvane::cli
