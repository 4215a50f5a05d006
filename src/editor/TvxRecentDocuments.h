#pragma once
// TvxRecentDocuments: the documents last opened or saved, newest first, kept in the program's
// settings and shown as the items of a menu (disabled while the list is empty); choosing an
// item asks for that document through OpenRequested.

#include <QObject>
#include <QStringList>

class QMenu;

namespace morvane {

class TvxRecentDocuments : public QObject
{
    Q_OBJECT

public:
    static constexpr int MaxCount = 8;

    // The menu (not owned) outlives this object; the list is read from the settings.
    explicit TvxRecentDocuments(QMenu* menu, QObject* parent = nullptr);

    // list with path first and nowhere else, cut to max entries.
    static QStringList Pushed(QStringList list, const QString& path, int max = MaxCount);

    // Puts path first (and stores the list); Remove takes it out.
    void Add(const QString& path);
    void Remove(const QString& path);
    const QStringList& Files() const { return files_; }

signals:
    void OpenRequested(const QString& path);

private:
    void Store();
    void Rebuild();

    QMenu* menu_;
    QStringList files_;
};

} // namespace morvane
