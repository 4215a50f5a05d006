#include "editor/vxApplication.h"

#include "editor/fmDBScript.h"
#include "views/TvxResourceVersion.h"
#include "views/vxAccessibleComboBox.h"

#include <QApplication>

namespace morvane {

void vxInitApplication(QApplication& app)
{
    app.setApplicationName(QString::fromLatin1(vxApplicationTitle));
    TvxResourceVersion::Instance();
    vxInstallAccessibleComboBox();
}

} // namespace morvane
