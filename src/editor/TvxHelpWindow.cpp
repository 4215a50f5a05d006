#include "editor/TvxHelpWindow.h"

#include "editor/TvxHelpPages.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace morvane {

TvxHelpWindow::TvxHelpWindow(QWidget* parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("HelpWindow"));
    setWindowTitle(QStringLiteral("Ajuda do Morvane"));
    resize(560, 480);

    auto* label = new QLabel(QStringLiteral("&Pesquisar:"), this);
    search_ = new QLineEdit(this);
    search_->setObjectName(QStringLiteral("EditSearch"));
    label->setBuddy(search_);
    auto* find = new QPushButton(QStringLiteral("&Procurar"), this);
    find->setObjectName(QStringLiteral("BtnSearch"));
    auto* contents = new QPushButton(QStringLiteral("&Conteúdo"), this);
    contents->setObjectName(QStringLiteral("BtnContents"));

    browser_ = new QTextBrowser(this);
    browser_->setObjectName(QStringLiteral("HelpBrowser"));
    browser_->setAccessibleName(QStringLiteral("Página de ajuda"));
    browser_->setOpenLinks(false);

    auto* bar = new QHBoxLayout;
    bar->addWidget(label);
    bar->addWidget(search_, 1);
    bar->addWidget(find);
    bar->addWidget(contents);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(bar);
    layout->addWidget(browser_, 1);

    connect(search_, &QLineEdit::returnPressed, this, &TvxHelpWindow::RunSearch);
    connect(find, &QPushButton::clicked, this, &TvxHelpWindow::RunSearch);
    connect(contents, &QPushButton::clicked, this, [this] { ShowPage(vxHelpContents); });
    connect(browser_, &QTextBrowser::anchorClicked, this, &TvxHelpWindow::OpenLink);
    ShowPage(vxHelpContents);
}

void TvxHelpWindow::ShowContext(int context)
{
    ShowPage(context);
    Present();
}

void TvxHelpWindow::ShowSearch()
{
    context_ = -1;
    browser_->setHtml(QStringLiteral("<h2>Pesquisa</h2><p>Digite uma ou mais palavras em <i>Pesquisar</i> e "
                                     "tecle Enter: aparecem as páginas que contêm todas elas.</p>"));
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
    context_ = -1;
    const std::vector<int> found = TvxHelpPages::Search(search_->text());
    QString html = QStringLiteral("<h2>Pesquisa: %1</h2>").arg(search_->text().toHtmlEscaped());
    if (found.empty()) {
        html += QStringLiteral("<p>Nenhuma página contém essas palavras.</p>");
    } else {
        html += QStringLiteral("<ul>");
        for (int context : found)
            html += QStringLiteral("<li><a href=\"ctx:%1\">%2</a></li>")
                        .arg(context)
                        .arg(TvxHelpPages::Find(context)->title.toHtmlEscaped());
        html += QStringLiteral("</ul>");
    }
    browser_->setHtml(html);
}

void TvxHelpWindow::ShowPage(int context)
{
    const TvxHelpPage* page = TvxHelpPages::Find(context);
    if (!page)
        page = TvxHelpPages::Find(vxHelpContents);
    context_ = page->context;
    browser_->setHtml(QStringLiteral("<h2>%1</h2>%2").arg(page->title.toHtmlEscaped(), page->html));
}

void TvxHelpWindow::OpenLink(const QUrl& url)
{
    if (url.scheme() != QLatin1String("ctx"))
        return;
    bool ok = false;
    const int context = url.path().toInt(&ok);
    if (ok)
        ShowPage(context);
}

void TvxHelpWindow::Present()
{
    show();
    raise();
    activateWindow();
}

} // namespace morvane
