#include "editor/TvxFileCommands.h"

#include "editor/TvxAliasCommands.h"
#include "editor/TvxDocumentState.h"
#include "editor/TvxMessages.h"
#include "editor/vxStrings.h"
#include "script/EvxAbort.h"
#include "script/TvxCommand.h"
#include "script/TvxScriptReplayer.h"
#include "script/vxCommandParams.h"
#include "views/vxRecordText.h"

#include <QWidget>

namespace morvane {

namespace {

constexpr int vxMsgSourceTableMissing = 10027;

} // namespace

TvxFileCommands::TvxFileCommands(const Controls& controls, TvxDocumentState& document, TvxFileDialogs& dialogs,
                                 IvxPrompts& prompts, TvxMessages& messages, TvxDBScript& script,
                                 TvxScriptTableList& newTables, TvxDatabase& database, TvxDataSetListBox& currentTables,
                                 TvxScriptReplayer& replayer, TvxAliasCommands& aliases,
                                 const TvxResourceVersion& version)
    : controls_(controls), document_(document), dialogs_(dialogs), prompts_(prompts), messages_(messages),
      script_(script), newTables_(newTables), database_(database), currentTables_(currentTables), replayer_(replayer),
      aliases_(aliases), version_(version)
{}

// To come: asks to save a changed script, then clears it and names no document.
void TvxFileCommands::mnNewClick() {}

// To come: reads a chosen document, rebuilding the new tables, after "&Novo".
void TvxFileCommands::mnOpenClick() {}

// To come: writes the document under its name (asking for one when it has none).
void TvxFileCommands::mnSaveClick() {}

// To come: asks for a file name and writes the document under it.
void TvxFileCommands::mnSaveAsClick() {}

// To come: writes the update and the maintenance script beside the document.
void TvxFileCommands::mnScriptCreateClick() {}

// To come: hands a chosen update or maintenance script to the update server.
void TvxFileCommands::mnScriptExecuteClick() {}

// To come: empties the script and the new tables and closes the source database.
void TvxFileCommands::mnScriptClearClick() {}

// To come: shows the script's commands as text.
void TvxFileCommands::mnCommandsClick() {}

void TvxFileCommands::mnExitClick()
{
    controls_.Window->close();
}

bool TvxFileCommands::FormCloseQuery()
{
    if (!document_.ScriptChanged)
        return true;
    switch (messages_.AskMessage(vxMsgScriptChangedSave, QString(), TvxMsgButtons::YesNoCancel)) {
    case TvxMsgResult::Yes:
        // Closes only once the script is saved: a cancelled file dialog or a failed save keeps
        // the window open rather than losing the changes.
        mnSaveClick();
        return !document_.ScriptChanged;
    case TvxMsgResult::No:
        return true;
    default:
        return false;
    }
}

void TvxFileCommands::StructScriptAfterLoad(TvxCommand& Comm)
{
    switch (Comm.Kind()) {
    case ckAddAlias:
        aliases_.AliasLoaded(Comm);
        return;
    case ckAddNewAlias:
        aliases_.NewAliasLoaded(Comm);
        return;
    default:
        break;
    }
    if (replayer_.Apply(Comm) == TvxScriptReplayer::MissingSource) {
        messages_.AskMessage(vxMsgSourceTableMissing, RecordTextToQString(Comm.ParamText(AddTableParam::SourceTable)),
                             TvxMsgButtons::Ok);
        throw EvxAbort();
    }
}

void TvxFileCommands::ExeScriptShowErrorMsg(int CodError)
{
    messages_.ShowMessageCode(CodError);
}

} // namespace morvane
