#pragma once
// TvxDocumentState: what the main window knows of the script document besides the script.
// Owned by the window; the handlers of every menu read and set it.

#include <QString>

#include <functional>

namespace morvane {

// The "script changed" flag. Setting it (to true) tells OnSet, through which the undo history
// learns that the script changed; every assignment and Restore tells OnValue the value it now
// has (the window's unsaved mark). It reads and assigns like a bool.
class TvxChangeFlag
{
public:
    TvxChangeFlag& operator=(bool changed)
    {
        Restore(changed);
        if (changed && OnSet)
            OnSet();
        return *this;
    }
    operator bool() const { return value_; }
    // Sets the flag without telling OnSet: for undo and redo, which restore a state.
    void Restore(bool changed)
    {
        value_ = changed;
        if (OnValue)
            OnValue(changed);
    }

    std::function<void()> OnSet;
    std::function<void(bool)> OnValue;

private:
    bool value_ = false;
};

struct TvxDocumentState
{
    // The script has changed since it was started, loaded or saved.
    TvxChangeFlag ScriptChanged;
    // The document's file name; empty until the script is opened or saved.
    QString DocumentFileName;
};

} // namespace morvane
