#include "editor/TvxHelpCommands.h"

#include "editor/IvxHelp.h"
#include "editor/IvxPrompts.h"

namespace morvane {

void TvxHelpCommands::mnHelpContentsClick()
{
    help_.ShowContext(helpContext_);
}

void TvxHelpCommands::mnHelpAboutClick()
{
    prompts_.ShowAbout();
}

bool TvxHelpCommands::KeyDown(int key, Qt::KeyboardModifiers modifiers)
{
    if (key != Qt::Key_F1 || modifiers.testFlag(Qt::ControlModifier))
        return false;
    if (modifiers.testFlag(Qt::AltModifier))
        help_.ShowSearch();
    else
        help_.ShowContext(helpContext_);
    return true;
}

} // namespace morvane
