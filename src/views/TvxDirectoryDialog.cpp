#include "views/TvxDirectoryDialog.h"

#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>

namespace morvane {

TvxDirectoryDialog::TvxDirectoryDialog(QWidget* parent, const QString& start, bool allowCreate)
    : QFileDialog(parent), allowCreate_(allowCreate)
{
    setObjectName(QStringLiteral("DirectoryDialog"));
    // The toolkit's own dialog, whose accepting this class decides.
    setOption(QFileDialog::DontUseNativeDialog, true);
    setFileMode(QFileDialog::Directory);
    setOption(QFileDialog::ShowDirsOnly, true);
    setDirectory(start.isEmpty() || !QFileInfo(start).isDir() ? QDir::currentPath() : start);
}

void TvxDirectoryDialog::accept()
{
    const QStringList files = selectedFiles();
    const QString typed = files.isEmpty() ? QString() : files.front();
    if (allowCreate_ && !typed.isEmpty() && !QFileInfo::exists(typed)) {
        chosen_ = QDir::cleanPath(typed);
        QDialog::accept();
        return;
    }
    chosen_ = typed.isEmpty() ? QString() : QDir::cleanPath(typed);
    QFileDialog::accept();
}

void TvxDirectoryDialog::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_F1 && OnHelp) {
        OnHelp();
        return;
    }
    QFileDialog::keyPressEvent(event);
}

} // namespace morvane
