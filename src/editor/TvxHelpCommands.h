#pragma once
// The "Aj&uda" menu and the help keys of the main window.

#include <Qt>

namespace morvane {

class TFormDBScript;

class TvxHelpCommands
{
public:
    explicit TvxHelpCommands(TFormDBScript& window) : window_(window) {}

    void ContentsClick();
    void AboutClick();
    // F1 without Ctrl: Alt opens the search page, otherwise the help at the window's context.
    // True when the key asked for help; the key still goes on to the controls.
    bool KeyDown(int key, Qt::KeyboardModifiers modifiers);

private:
    TFormDBScript& window_;
};

} // namespace morvane
