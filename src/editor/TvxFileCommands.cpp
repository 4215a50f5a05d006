#include "editor/TvxFileCommands.h"

#include "editor/fmDBScript.h"
#include "editor/vxStrings.h"

namespace morvane {

void TvxFileCommands::ExitClick()
{
    window_.close();
}

bool TvxFileCommands::CloseQuery()
{
    if (!window_.ScriptChanged)
        return true;
    switch (window_.AskMessage(vxMsgScriptChangedSave, QString(), TvxMsgButtons::YesNoCancel)) {
    case TvxMsgResult::Yes:
        // The window closes whether or not the save happened (its file dialog may be cancelled).
        window_.mnSaveClick();
        return true;
    case TvxMsgResult::No:
        return true;
    default:
        return false;
    }
}

} // namespace morvane
