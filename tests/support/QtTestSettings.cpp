// Every Qt test program keeps the program's settings (window layout, recent documents) in a
// directory of its own, removed when it ends: no test reads or writes the user's settings.

#include <QCoreApplication>
#include <QSettings>
#include <QTemporaryDir>

namespace {

void UseTemporarySettings()
{
    static QTemporaryDir directory;
    for (const QSettings::Format format : {QSettings::NativeFormat, QSettings::IniFormat})
        QSettings::setPath(format, QSettings::UserScope, directory.path());
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(UseTemporarySettings)
