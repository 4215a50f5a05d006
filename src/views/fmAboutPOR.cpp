#include "views/fmAboutPOR.h"

namespace morvane {

TfrmAboutPOR::TfrmAboutPOR(const TvxResourceVersion& version, QWidget* parent) : TfrmAbout(version, parent)
{
    setObjectName(QStringLiteral("frmAboutPOR"));
    setWindowTitle(QStringLiteral("Sobre o Morvane"));
}

} // namespace morvane
