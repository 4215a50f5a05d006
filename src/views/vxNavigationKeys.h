#pragma once
// The keys whose release brings a list's linked view in step: Page Up, Page Down, End, Home
// and the four arrows; and TvxKeyRefresh, which tells a list when a released key does that.

#include <QKeyEvent>
#include <Qt>

namespace morvane {

inline bool IsNavigationKey(int key)
{
    switch (key) {
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_End:
    case Qt::Key_Home:
    case Qt::Key_Left:
    case Qt::Key_Up:
    case Qt::Key_Right:
    case Qt::Key_Down:
        return true;
    default:
        return false;
    }
}

// Follows a key from its press to its release. The release of a navigation key refreshes the
// linked view, and so does that of any key that moved the selection (typing a table's first
// letter does); otherwise the view would show another table's fields. Auto-repeats do not count.
class TvxKeyRefresh
{
public:
    void Pressed(const QKeyEvent& event, int row)
    {
        if (!event.isAutoRepeat())
            rowAtPress_ = row;
    }
    bool Released(const QKeyEvent& event, int row) const
    {
        return !event.isAutoRepeat() && (IsNavigationKey(event.key()) || row != rowAtPress_);
    }

private:
    int rowAtPress_ = -1;
};

} // namespace morvane
