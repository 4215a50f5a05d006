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
        // Closes only once the script is saved: a cancelled file dialog or a failed save keeps
        // the window open rather than losing the changes.
        window_.mnSaveClick();
        return !window_.ScriptChanged;
    case TvxMsgResult::No:
        return true;
    default:
        return false;
    }
}

} // namespace morvane
