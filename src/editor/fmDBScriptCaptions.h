#pragma once
// The captions of the main window's controls, menus and tabs, keyed by object name, in the
// base form's English and in Portuguese. Tab pages are keyed by the page's object name.

#include <vector>

namespace morvane {

struct TvxCaption
{
    const char* name;
    const char* english;
    const char* portuguese;
};

const std::vector<TvxCaption>& vxMainWindowCaptions();

} // namespace morvane
