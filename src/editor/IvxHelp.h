#pragma once
// The help system as the window uses it: open at a context number (0: contents), open the
// search page, close the help window.

namespace morvane {

inline constexpr int vxHelpContents = 0;
inline constexpr int vxHelpDirectoryChoice = 1000;
// The choice of the wanted database of "Script a partir de &comparação...".
inline constexpr int vxHelpCompare = 32;

class IvxHelp
{
public:
    virtual ~IvxHelp() = default;
    virtual void ShowContext(int context) = 0;
    virtual void ShowSearch() = 0;
    virtual void Quit() = 0;
};

} // namespace morvane
