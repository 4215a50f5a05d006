// The Morvane editor: the application, its title, the engine and the main window.

#include "db/IvxEngine.h"
#include "editor/fmDBScriptPOR.h"
#include "editor/vxApplication.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    morvane::vxInitApplication(app);
    const auto engine = morvane::CreateParadoxEngine();
    morvane::TFormDBScriptPOR window(*engine);
    window.show();
    return app.exec();
}
