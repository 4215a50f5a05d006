#pragma once
// The help window: the compiled-in help pages in a hypertext browser with its own history
// (Back and Forward, also Alt+Left and Alt+Right), opened at a context number, or at the search
// page that lists the pages holding the words typed. Links are followed by mouse or keyboard
// (Tab to a link, Enter); Escape closes the window. Pages are addressed "ctx:<number>", search
// results "search:<words>".

#include "editor/IvxHelp.h"

#include <QMainWindow>

class QAction;
class QLineEdit;
class QTextBrowser;
class QUrl;

namespace morvane {

class TvxHelpWindow : public QMainWindow, public IvxHelp
{
    Q_OBJECT

public:
    explicit TvxHelpWindow(QWidget* parent = nullptr);

    // An unknown context opens the contents.
    void ShowContext(int context) override;
    void ShowSearch() override;
    void Quit() override;

    int CurrentContext() const;   // -1 while the search page or search results are shown
    QLineEdit* SearchEdit() const { return search_; }
    QTextBrowser* Browser() const { return browser_; }
    QAction* BackAction() const { return back_; }
    QAction* ForwardAction() const { return forward_; }

    // The page an address shows: its title and its HTML.
    static QString PageHtml(const QUrl& address);

public slots:
    void RunSearch();

private:
    void Open(const QUrl& address);
    void Present();

    QLineEdit* search_ = nullptr;
    QTextBrowser* browser_ = nullptr;
    QAction* back_ = nullptr;
    QAction* forward_ = nullptr;
};

} // namespace morvane
