#pragma once
// The keys whose release brings a list's linked view in step: Page Up, Page Down, End, Home
// and the four arrows.

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

} // namespace morvane
