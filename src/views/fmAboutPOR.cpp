#include "views/fmAboutPOR.h"

namespace morvane {

TfrmAboutPOR::TfrmAboutPOR(QWidget* parent, const TvxResourceVersion* version) : TfrmAbout(parent, version)
{
    setObjectName(QStringLiteral("frmAboutPOR"));
    setWindowTitle(QStringLiteral("Sobre o Morvane"));
}

} // namespace morvane
