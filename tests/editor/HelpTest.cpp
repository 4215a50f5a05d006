// The compiled-in help: every link leads to a page, the search finds pages by words, and the
// help window opens at a context or at the search page.

#include "editor/TvxHelpPages.h"
#include "editor/TvxHelpWindow.h"

#include <QLineEdit>
#include <QRegularExpression>
#include <QTest>
#include <QTextBrowser>

using namespace morvane;

class HelpTest : public QObject
{
    Q_OBJECT

private slots:
    void pagesAndLinks();
    void everyMenuHasItsPage();
    void search();
    void windowContextsAndSearch();
};

void HelpTest::pagesAndLinks()
{
    QSet<int> contexts;
    for (const auto& page : TvxHelpPages::All()) {
        QVERIFY2(!contexts.contains(page.context), qPrintable(page.title));
        contexts.insert(page.context);
        QVERIFY(!page.title.isEmpty());
    }
    QVERIFY(contexts.contains(vxHelpContents));
    QVERIFY(contexts.contains(vxHelpDirectoryChoice));
    static const QRegularExpression link(QStringLiteral("href=\"ctx:(\\d+)\""));
    for (const auto& page : TvxHelpPages::All())
        for (auto it = link.globalMatch(page.html); it.hasNext();) {
            const int target = it.next().captured(1).toInt();
            QVERIFY2(TvxHelpPages::Find(target), qPrintable(page.title + QString::number(target)));
        }
    QVERIFY(!TvxHelpPages::Find(424242));
}

void HelpTest::everyMenuHasItsPage()
{
    for (const char* word : {"Arquivo", "Aliases", "Tabela", "Campos", "Índices", "Int. Ref.", "Ajuda"}) {
        bool found = false;
        for (const auto& page : TvxHelpPages::All())
            found = found || page.title == QStringLiteral("Menu ") + QString::fromUtf8(word) ||
                    page.title.startsWith(QStringLiteral("Menu ") + QString::fromUtf8(word) + QLatin1Char(' '));
        QVERIFY2(found, word);
    }
}

void HelpTest::search()
{
    // Letter case and accents do not matter; every word must be on the page.
    const std::vector<int> indexes = TvxHelpPages::Search(QStringLiteral("INDICES primaria"));
    QVERIFY(!indexes.empty());
    QVERIFY(std::find(indexes.begin(), indexes.end(), 14) != indexes.end());
    const std::vector<int> script = TvxHelpPages::Search(QStringLiteral("vxusp"));
    QVERIFY(std::find(script.begin(), script.end(), 10) != script.end());
    QVERIFY(TvxHelpPages::Search(QStringLiteral("vxusp xyzzy")).empty());
    QVERIFY(TvxHelpPages::Search(QStringLiteral("   ")).empty());
    // Markup is not searched.
    QVERIFY(TvxHelpPages::Search(QStringLiteral("href")).empty());
    QCOMPARE(TvxHelpPages::Normalize(QString::fromUtf8("Índices <b>Não</b>")), QStringLiteral("indices nao"));
    // Entities read as the characters they stand for, never as words of their own.
    QCOMPARE(TvxHelpPages::Normalize(QString::fromUtf8("&lt;diretório&gt; &amp; &mdash;x")),
             QStringLiteral("<diretorio> &  x"));
    QVERIFY(TvxHelpPages::Search(QStringLiteral("mdash")).empty());
    // The command-line tool has its page.
    QCOMPARE(TvxHelpPages::Search(QStringLiteral("morvane-cli inspect json")), std::vector<int>{17});
}

void HelpTest::windowContextsAndSearch()
{
    TvxHelpWindow window;
    window.ShowContext(13);
    QVERIFY(window.isVisible());
    QCOMPARE(window.CurrentContext(), 13);
    QVERIFY(window.Browser()->toPlainText().contains(QStringLiteral("Menu Campos")));
    window.ShowContext(9999);
    QCOMPARE(window.CurrentContext(), vxHelpContents);
    window.ShowSearch();
    QCOMPARE(window.CurrentContext(), -1);
    window.SearchEdit()->setText(QStringLiteral("senha"));
    window.RunSearch();
    QVERIFY(window.Browser()->toHtml().contains(QStringLiteral("ctx:11")));
    window.Quit();
    QVERIFY(!window.isVisible());
}

QTEST_MAIN(HelpTest)
#include "HelpTest.moc"
