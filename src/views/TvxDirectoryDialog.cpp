#include "views/TvxDirectoryDialog.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>

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
    if (!allowCreate_)
        return;
    // The toolkit disables its button for a name that does not exist; a new folder may be typed.
    auto* edit = findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    auto* buttons = findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"));
    QPushButton* choose = buttons ? buttons->button(QDialogButtonBox::Open) : nullptr;
    if (edit && choose)
        connect(edit, &QLineEdit::textChanged, choose, [choose](const QString& text) {
            if (!text.trimmed().isEmpty())
                choose->setEnabled(true);
        });
}

QString TvxDirectoryDialog::TypedPath() const
{
    const auto* edit = findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    const QString typed = edit ? edit->text().trimmed() : QString();
    if (typed.isEmpty())
        return {};
    return QDir::cleanPath(QDir(directory().absolutePath()).absoluteFilePath(typed));
}

void TvxDirectoryDialog::accept()
{
    // A folder typed that does not exist is taken as typed, never as the folder shown.
    QString typed = TypedPath();
    if (typed.isEmpty() || QFileInfo::exists(typed)) {
        const QStringList files = selectedFiles();
        typed = files.isEmpty() ? QString() : files.front();
    }
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
