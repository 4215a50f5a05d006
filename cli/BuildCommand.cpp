// morvane-cli build: loads a script document as the editor opens it (its commands replayed
// against its source database, or the one given with --source) and writes the update script
// (.vxusp) and the maintenance script (.vxmsp) beside it, with the editor's checks and
// messages. Exit status: 0 both written, 1 a check failed or an error (message on stderr),
// 2 usage error.
#include <cstdio>
#include <string>
#include <vector>

#include "CliCommands.h"
#include "CliConnect.h"
#include "db/EvxEngineError.h"
#include "db/IvxDataSetList.h"
#include "db/cpDatabase.h"
#include "model/vxCodePage.h"
#include "model/vxNameRules.h"
#include "model/vxTextCase.h"
#include "script/EvxAbort.h"
#include "script/TvxCommand.h"
#include "script/TvxScriptReplayer.h"
#include "script/TvxScriptTableList.h"
#include "script/cpDBStructScript.h"
#include "script/vxCommandParams.h"
#include "script/vxDocumentLoad.h"
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

// The tables of the connected source database, as the editor's table list holds them.
class TvxSourceTables : public IvxDataSetList
{
public:
    TvxSourceTables() = default;
    TvxSourceTables(const TvxSourceTables&) = delete;
    TvxSourceTables& operator=(const TvxSourceTables&) = delete;
    ~TvxSourceTables() override { TvxDatabase::NotifyDataSetListDestroyed(this); }

    void SetDatabaseHandle(IvxEngineDatabase*) override {}
    void ReplaceItems(TvxTableItems items) override { items_ = std::move(items); }
    void ClearItems() override { items_.clear(); }

    const TvxTableDesc* TableByName(std::string_view name) const
    {
        for (const TvxTableItem& item : items_)
            if (SameText(item.name, name))
                return item.desc.get();
        return nullptr;
    }

private:
    TvxTableItems items_;
};

void printMessage(int id, const std::string& argument = {})
{
    std::string text = ScriptMessageText(id);
    const std::size_t at = text.find("%s");
    if (at != std::string::npos)
        text.replace(at, 2, FileSystemName(argument, vxNewTableCodePage));
    std::fprintf(stderr, "morvane-cli: %s\n", text.c_str());
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
        db.SetDataSetList(&sourceTables);
        if (!args.source.empty() && !Connect(db, args.source, args.passwords))
            return 1;

        TvxScriptTableList tables;
        TvxDBScript script;
        TvxScriptReplayer replayer(
            tables, [&](std::string_view name) -> const TvxTableDesc* { return sourceTables.TableByName(name); });
        // The document's source database, unless another was given: opened as the editor opens it.
        replayer.OnSourceAlias = [&](const TvxCommand& command) {
            if (!args.source.empty())
                return;
            const std::string alias = command.ParamText(AliasParam::AliasName);
            db.SetConnected(false);
            if (!Connect(db, alias.empty() ? command.ParamText(AliasParam::Directory) : alias, args.passwords))
                throw EvxAbort();
        };

        const TvxDocumentLoadResult loaded = LoadScriptDocument(args.document, script, replayer);
        if (loaded.messageId != 0) {
            printMessage(loaded.messageId, loaded.missingTable);
            return 1;
        }
        std::string subject;
        const int code = CreateScripts(args.document, AppName, script, tables, &subject);
        if (code != TvxScriptMsg::ScriptsCreated) {
            printMessage(code, subject);
            if (code == TvxScriptMsg::TableNameNotAllowed)
                std::fprintf(stderr, "morvane-cli: %s\n", NameFaultText(TableNameFault(subject)).c_str());
            return 1;
        }
        const TvxScriptFileNames names = ScriptFileNames(args.document);
        std::printf("%s\n%s\n%s\n", ScriptMessageText(code).c_str(), names.update.c_str(), names.maintenance.c_str());
        return 0;
    } catch (const EvxAbort&) {
        // Connect has said why.
    } catch (const std::exception& e) {
        std::fprintf(stderr, "morvane-cli: %s\n", e.what());
    }
    return 1;
}

} // namespace morvane::cli
