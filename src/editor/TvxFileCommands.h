#pragma once
// The "&Arquivo" menu of the main window: the script as a whole, and closing the window.

namespace morvane {

class TFormDBScript;

class TvxFileCommands
{
public:
    explicit TvxFileCommands(TFormDBScript& window) : window_(window) {}

    void ExitClick();
    // With unsaved changes asks 10019 (Yes/No/Cancel); Yes saves first and closes only when the
    // script was saved. False: stay open.
    bool CloseQuery();

private:
    TFormDBScript& window_;
};

} // namespace morvane
