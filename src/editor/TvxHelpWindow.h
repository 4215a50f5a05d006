#pragma once
// The help window: the compiled-in help pages in a browser, opened at a context number, or at
// the search page that lists the pages holding the words typed.

#include "editor/IvxHelp.h"

#include <QWidget>

class QLineEdit;
class QTextBrowser;
class QUrl;

namespace morvane {

class TvxHelpWindow : public QWidget, public IvxHelp
{
    Q_OBJECT

public:
    explicit TvxHelpWindow(QWidget* parent = nullptr);

    // An unknown context opens the contents.
    void ShowContext(int context) override;
    void ShowSearch() override;
    void Quit() override;

    int CurrentContext() const { return context_; }   // -1 while the search page is shown
    QLineEdit* SearchEdit() const { return search_; }
    QTextBrowser* Browser() const { return browser_; }

public slots:
    void RunSearch();

private:
    void ShowPage(int context);
    void OpenLink(const QUrl& url);
    void Present();

    QLineEdit* search_ = nullptr;
    QTextBrowser* browser_ = nullptr;
    int context_ = 0;
};

} // namespace morvane
