#pragma once
// TvxDocumentState: what the main window knows of the script document besides the script.
// Owned by the window; the handlers of every menu read and set it.

#include <QString>

namespace morvane {

struct TvxDocumentState
{
    // The script has changed since it was started, loaded or saved.
    bool ScriptChanged = false;
    // The document's file name; empty until the script is opened or saved.
    QString DocumentFileName;
};

} // namespace morvane
