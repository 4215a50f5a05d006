#pragma once
// The About box with Portuguese captions, as the program shows it.

#include "views/fmAbout.h"

namespace morvane {

class TfrmAboutPOR : public TfrmAbout
{
    Q_OBJECT

public:
    explicit TfrmAboutPOR(const TvxResourceVersion& version, QWidget* parent = nullptr);
};

} // namespace morvane
