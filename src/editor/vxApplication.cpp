#include "editor/vxApplication.h"

#include "editor/fmDBScript.h"
#include "views/TvxResourceVersion.h"
#include "views/vxAccessibleComboBox.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace morvane {

bool vxLoadToolkitTranslation(QApplication& app, const QLocale& locale)
{
    auto* translator = new QTranslator(&app);
    if (!translator->load(locale, QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    QApplication::installTranslator(translator);
    return true;
}

void vxInitApplication(QApplication& app)
{
    app.setApplicationName(QString::fromLatin1(vxApplicationTitle));
    // The settings (window layout, recent documents) live under the program's own name.
    app.setOrganizationName(QString::fromLatin1(vxApplicationTitle));
    vxLoadToolkitTranslation(app, QLocale::system());
    TvxResourceVersion::Instance();
    vxInstallAccessibleComboBox();
}

} // namespace morvane
