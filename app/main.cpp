// The Morvane editor: the application, its title, the engine, the update server and the main
// window; a document named on the command line is opened once the window shows.

#include "db/IvxEngine.h"
#include "editor/TvxFileCommands.h"
#include "editor/fmDBScriptPOR.h"
#include "editor/vxApplication.h"
#include "server/TvxUpdateServer.h"

#include <QApplication>
#include <QFileInfo>
#include <QTimer>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    morvane::vxInitApplication(app);
    morvane::RegisterUpdateServer();
    const auto engine = morvane::CreateParadoxEngine();
    morvane::TFormDBScriptPOR window(*engine);
    window.show();
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() > 1) {
        const QString document = QFileInfo(arguments.at(1)).absoluteFilePath();
        QTimer::singleShot(0, &window, [&window, document] { window.FileCommands().OpenDocument(document); });
    }
    return app.exec();
}
