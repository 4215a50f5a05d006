#include "editor/TvxHelpCommands.h"

#include "editor/fmDBScript.h"

namespace morvane {

void TvxHelpCommands::ContentsClick()
{
    window_.Help().ShowContext(window_.HelpContext);
}

void TvxHelpCommands::AboutClick()
{
    window_.Prompts().ShowAbout();
}

bool TvxHelpCommands::KeyDown(int key, Qt::KeyboardModifiers modifiers)
{
    if (key != Qt::Key_F1 || modifiers.testFlag(Qt::ControlModifier))
        return false;
    if (modifiers.testFlag(Qt::AltModifier))
        window_.Help().ShowSearch();
    else
        window_.Help().ShowContext(window_.HelpContext);
    return true;
}

} // namespace morvane
