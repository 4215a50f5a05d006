#include "editor/TvxHelpWindow.h"

#include "editor/TvxHelpPages.h"

#include <QAction>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QShortcut>
#include <QTextBrowser>
#include <QToolBar>
#include <QUrl>

namespace morvane {

namespace {

const QString vxPageScheme = QStringLiteral("ctx");
const QString vxSearchScheme = QStringLiteral("search");

QUrl PageAddress(int context)
{
    QUrl address;
    address.setScheme(vxPageScheme);
    address.setPath(QString::number(context));
    return address;
}

QUrl SearchAddress(const QString& words)
{
    QUrl address;
    address.setScheme(vxSearchScheme);
    address.setPath(words);
    return address;
}

// A browser whose documents are the help pages.
class TvxHelpBrowser : public QTextBrowser
{
public:
    using QTextBrowser::QTextBrowser;

    QVariant loadResource(int type, const QUrl& name) override
    {
        if (name.scheme() == vxPageScheme || name.scheme() == vxSearchScheme)
            return TvxHelpWindow::PageHtml(name);
        return QTextBrowser::loadResource(type, name);
    }
};

} // namespace

TvxHelpWindow::TvxHelpWindow(QWidget* parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("HelpWindow"));
    setWindowTitle(QStringLiteral("Ajuda do Morvane"));
    resize(600, 520);

    browser_ = new TvxHelpBrowser(this);
    browser_->setObjectName(QStringLiteral("HelpBrowser"));
    browser_->setAccessibleName(QStringLiteral("Página de ajuda"));
    browser_->setOpenLinks(true);
    browser_->setOpenExternalLinks(false);
    setCentralWidget(browser_);

    auto* bar = addToolBar(QStringLiteral("Navegação"));
    bar->setObjectName(QStringLiteral("HelpToolBar"));
    bar->setMovable(false);
    bar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    back_ = bar->addAction(QStringLiteral("&Voltar"), browser_, &QTextBrowser::backward);
    back_->setObjectName(QStringLiteral("HelpBack"));
    back_->setShortcut(QKeySequence::Back);
    back_->setEnabled(false);
    forward_ = bar->addAction(QStringLiteral("A&vançar"), browser_, &QTextBrowser::forward);
    forward_->setObjectName(QStringLiteral("HelpForward"));
    forward_->setShortcut(QKeySequence::Forward);
    forward_->setEnabled(false);
    auto* contents = bar->addAction(QStringLiteral("&Conteúdo"), this, [this] { ShowContext(vxHelpContents); });
    contents->setObjectName(QStringLiteral("HelpContents"));
    bar->addSeparator();
    auto* label = new QLabel(QStringLiteral("&Pesquisar:"), bar);
    search_ = new QLineEdit(bar);
    search_->setObjectName(QStringLiteral("EditSearch"));
    search_->setMinimumWidth(160);
    label->setBuddy(search_);
    bar->addWidget(label);
    bar->addWidget(search_);
    auto* find = bar->addAction(QStringLiteral("P&rocurar"), this, &TvxHelpWindow::RunSearch);
    find->setObjectName(QStringLiteral("HelpFind"));

    connect(browser_, &QTextBrowser::backwardAvailable, back_, &QAction::setEnabled);
    connect(browser_, &QTextBrowser::forwardAvailable, forward_, &QAction::setEnabled);
    connect(search_, &QLineEdit::returnPressed, this, &TvxHelpWindow::RunSearch);
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, &QWidget::close);

    Open(PageAddress(vxHelpContents));
}

QString TvxHelpWindow::PageHtml(const QUrl& address)
{
    if (address.scheme() == vxSearchScheme) {
        const QString words = address.path();
        if (words.trimmed().isEmpty())
            return QStringLiteral("<h2>Pesquisa</h2><p>Digite uma ou mais palavras em <i>Pesquisar</i> e "
                                  "tecle Enter: aparecem as páginas que contêm todas elas.</p>");
        QString html = QStringLiteral("<h2>Pesquisa: %1</h2>").arg(words.toHtmlEscaped());
        const std::vector<int> found = TvxHelpPages::Search(words);
        if (found.empty())
            return html + QStringLiteral("<p>Nenhuma página contém essas palavras.</p>");
        html += QStringLiteral("<ul>");
        for (int context : found)
            html += QStringLiteral("<li><a href=\"ctx:%1\">%2</a></li>")
                        .arg(context)
                        .arg(TvxHelpPages::Find(context)->title.toHtmlEscaped());
        return html + QStringLiteral("</ul>");
    }
    bool ok = false;
    const TvxHelpPage* page = TvxHelpPages::Find(address.path().toInt(&ok));
    if (!ok || !page)
        page = TvxHelpPages::Find(vxHelpContents);
    return QStringLiteral("<h2>%1</h2>%2").arg(page->title.toHtmlEscaped(), page->html);
}

int TvxHelpWindow::CurrentContext() const
{
    const QUrl address = browser_->source();
    if (address.scheme() != vxPageScheme)
        return -1;
    bool ok = false;
    const int context = address.path().toInt(&ok);
    return ok && TvxHelpPages::Find(context) ? context : vxHelpContents;
}

void TvxHelpWindow::Open(const QUrl& address)
{
    if (browser_->source() != address)
        browser_->setSource(address, QTextDocument::HtmlResource);
}

void TvxHelpWindow::ShowContext(int context)
{
    Open(PageAddress(TvxHelpPages::Find(context) ? context : vxHelpContents));
    Present();
    browser_->setFocus();
}

void TvxHelpWindow::ShowSearch()
{
    Open(SearchAddress(QString()));
    Present();
    search_->setFocus();
    search_->selectAll();
}

void TvxHelpWindow::Quit()
{
    close();
}

void TvxHelpWindow::RunSearch()
{
    Open(SearchAddress(search_->text()));
}

void TvxHelpWindow::Present()
{
    show();
    raise();
    activateWindow();
}

} // namespace morvane
