#include "CliDocument.h"

#include "model/vxCodePage.h"
#include "model/vxTextCase.h"
#include "script/cpDBStructScript.h"
#include "script/EvxAbort.h"
#include "script/TvxCommand.h"
#include "script/TvxScriptReplayer.h"
#include "script/TvxScriptTableList.h"
#include "script/vxCommandParams.h"
#include "script/vxDocumentLoad.h"
#include "script/vxScriptCreate.h"

#include <cstdio>

#include "CliConnect.h"

namespace morvane::cli {

const TvxTableDesc* TvxSourceTables::TableByName(std::string_view name) const
{
    for (const TvxTableItem& item : items_)
        if (SameText(item.name, name))
            return item.desc.get();
    return nullptr;
}

void PrintScriptMessage(int id, const std::string& argument)
{
    std::string text = ScriptMessageText(id);
    const std::size_t at = text.find("%s");
    if (at != std::string::npos)
        text.replace(at, 2, FileSystemName(argument, vxNewTableCodePage));
    std::fprintf(stderr, "morvane-cli: %s\n", text.c_str());
}

bool LoadDocument(const std::string& document, const std::string& source, const std::vector<std::string>& passwords,
                  TvxDatabase& db, TvxSourceTables& sourceTables, TvxScriptTableList& tables, TvxDBScript& script)
{
    db.SetDataSetList(&sourceTables);
    if (!source.empty() && !Connect(db, source, passwords))
        return false;
    TvxScriptReplayer replayer(
        tables, [&](std::string_view name) -> const TvxTableDesc* { return sourceTables.TableByName(name); });
    // The document's source database, unless another was given: opened as the editor opens it.
    replayer.OnSourceAlias = [&](const TvxCommand& command) {
        if (!source.empty())
            return;
        const std::string alias = command.ParamText(AliasParam::AliasName);
        db.SetConnected(false);
        if (!Connect(db, alias.empty() ? command.ParamText(AliasParam::Directory) : alias, passwords))
            throw EvxAbort();
    };
    try {
        const TvxDocumentLoadResult loaded = LoadScriptDocument(document, script, replayer);
        if (loaded.messageId != 0) {
            PrintScriptMessage(loaded.messageId, loaded.missingTable);
            return false;
        }
    } catch (const EvxAbort&) {
        return false; // Connect has said why
    }
    return true;
}

} // namespace morvane::cli
