#pragma once
// TvxHelpCommands: the "Aj&uda" menu and the help keys of the main window.

#include <QObject>

namespace morvane {

class IvxHelp;
class IvxPrompts;

class TvxHelpCommands : public QObject
{
    Q_OBJECT

public:
    // All three outlive the commands; helpContext is the window's help context number, read
    // whenever help is asked for.
    TvxHelpCommands(IvxHelp& help, IvxPrompts& prompts, const int& helpContext)
        : help_(help), prompts_(prompts), helpContext_(helpContext)
    {}

    // "&Conteúdo": the help at the window's context.
    void mnHelpContentsClick();
    // "&Sobre Morvane": the About box.
    void mnHelpAboutClick();
    // F1 without Ctrl: Alt opens the search page, otherwise the help at the window's context.
    // True when the key asked for help; the key still goes on to the controls.
    bool KeyDown(int key, Qt::KeyboardModifiers modifiers);

private:
    IvxHelp& help_;
    IvxPrompts& prompts_;
    const int& helpContext_;
};

} // namespace morvane
