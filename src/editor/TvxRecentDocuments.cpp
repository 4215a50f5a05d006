#include "editor/TvxRecentDocuments.h"

#include <QAction>
#include <QDir>
#include <QMenu>
#include <QSettings>

namespace morvane {

namespace {

const QString vxRecentKey = QStringLiteral("RecentDocuments");

} // namespace

TvxRecentDocuments::TvxRecentDocuments(QMenu* menu, QObject* parent) : QObject(parent), menu_(menu)
{
    for (const QString& path : QSettings().value(vxRecentKey).toStringList())
        if (!path.isEmpty() && files_.size() < MaxCount && !files_.contains(path))
            files_ << path;
    Rebuild();
}

QStringList TvxRecentDocuments::Pushed(QStringList list, const QString& path, int max)
{
    list.removeAll(path);
    list.prepend(path);
    while (list.size() > max)
        list.removeLast();
    return list;
}

void TvxRecentDocuments::Add(const QString& path)
{
    files_ = Pushed(files_, QDir::cleanPath(path));
    Store();
}

void TvxRecentDocuments::Remove(const QString& path)
{
    if (files_.removeAll(path) > 0)
        Store();
}

void TvxRecentDocuments::Store()
{
    QSettings().setValue(vxRecentKey, files_);
    Rebuild();
}

void TvxRecentDocuments::Rebuild()
{
    menu_->clear();
    for (qsizetype i = 0; i < files_.size(); ++i) {
        const QString path = files_.at(i);
        const QString shown = QDir::toNativeSeparators(path).replace(QLatin1Char('&'), QStringLiteral("&&"));
        QAction* item = menu_->addAction(i < 9 ? QStringLiteral("&%1 %2").arg(i + 1).arg(shown) : shown);
        item->setObjectName(QStringLiteral("mnRecent%1").arg(i + 1));
        connect(item, &QAction::triggered, this, [this, path] { emit OpenRequested(path); });
    }
    menu_->menuAction()->setEnabled(!files_.isEmpty());
}

} // namespace morvane
