// The help window as its user meets it: a window of its own whose pages are hypertext, links
// followed by keyboard, Back and Forward through the pages seen, search results as a page, and
// Escape to close it.

#include "editor/TvxHelpPages.h"
#include "editor/TvxHelpWindow.h"

#include <QAccessible>
#include <QAction>
#include <QLineEdit>
#include <QTest>
#include <QTextBrowser>

using namespace morvane;

class HelpWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void linksBackAndForward();
    void keyboardFollowsLinks();
    void escapeClosesAndTheWindowIsAWindow();
    void firstStepsComesFirst();
};

void HelpWindowTest::linksBackAndForward()
{
    TvxHelpWindow help;
    help.ShowContext(vxHelpContents);
    QVERIFY(!help.BackAction()->isEnabled());
    QTextBrowser* browser = help.Browser();
    QVERIFY(browser->openLinks());
    // Following a link of the contents opens its page; Back and Forward walk the pages seen.
    browser->setSource(QUrl(QStringLiteral("ctx:12")));
    QCOMPARE(help.CurrentContext(), 12);
    help.ShowContext(11);
    QCOMPARE(help.CurrentContext(), 11);
    QVERIFY(help.BackAction()->isEnabled());
    help.BackAction()->trigger();
    QCOMPARE(help.CurrentContext(), 12);
    help.BackAction()->trigger();
    QCOMPARE(help.CurrentContext(), vxHelpContents);
    QVERIFY(!help.BackAction()->isEnabled());
    QVERIFY(help.ForwardAction()->isEnabled());
    help.ForwardAction()->trigger();
    QCOMPARE(help.CurrentContext(), 12);
    QVERIFY(browser->toPlainText().startsWith(TvxHelpPages::Find(12)->title));

    // A search is a page too: Back returns from it.
    help.SearchEdit()->setText(QStringLiteral("senha"));
    help.RunSearch();
    QCOMPARE(help.CurrentContext(), -1);
    QVERIFY(browser->toHtml().contains(QStringLiteral("ctx:11")));
    help.BackAction()->trigger();
    QCOMPARE(help.CurrentContext(), 12);
    // An unknown context opens the contents.
    help.ShowContext(424242);
    QCOMPARE(help.CurrentContext(), vxHelpContents);
}

void HelpWindowTest::keyboardFollowsLinks()
{
    TvxHelpWindow help;
    help.ShowContext(vxHelpContents);
    QVERIFY(QTest::qWaitForWindowExposed(&help));
    QTextBrowser* browser = help.Browser();
    QVERIFY(browser->textInteractionFlags() & Qt::LinksAccessibleByKeyboard);
    browser->setFocus();
    // Tab reaches the first link, Enter follows it.
    QTest::keyClick(browser, Qt::Key_Tab);
    QVERIFY(browser->textCursor().hasSelection());
    QTest::keyClick(browser, Qt::Key_Return);
    QVERIFY(help.CurrentContext() != vxHelpContents);
    QVERIFY(help.CurrentContext() > 0);
    // Alt+Left goes back.
    QTest::keyClick(browser, Qt::Key_Left, Qt::AltModifier);
    QCOMPARE(help.CurrentContext(), vxHelpContents);
}

void HelpWindowTest::escapeClosesAndTheWindowIsAWindow()
{
    TvxHelpWindow help;
    help.ShowContext(11);
    QVERIFY(QTest::qWaitForWindowExposed(&help));
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(&help);
    QVERIFY(face);
    QCOMPARE(face->role(), QAccessible::Window);
    QCOMPARE(face->text(QAccessible::Name), QStringLiteral("Ajuda do Morvane"));
    QCOMPARE(QAccessible::queryAccessibleInterface(help.Browser())->text(QAccessible::Name),
             QStringLiteral("Página de ajuda"));
    help.activateWindow();
    help.Browser()->setFocus();
    QTest::keyClick(help.Browser(), Qt::Key_Escape);
    QVERIFY(!help.isVisible());
    // It opens again where asked.
    help.ShowContext(12);
    QVERIFY(help.isVisible());
    QCOMPARE(help.CurrentContext(), 12);
}

void HelpWindowTest::firstStepsComesFirst()
{
    const TvxHelpPage* contents = TvxHelpPages::Find(vxHelpContents);
    const qsizetype first = contents->html.indexOf(QStringLiteral("href=\"ctx:"));
    QVERIFY(first >= 0);
    const int target = contents->html.mid(first + 10).section(QLatin1Char('"'), 0, 0).toInt();
    const TvxHelpPage* page = TvxHelpPages::Find(target);
    QVERIFY(page);
    QCOMPARE(page->title, QStringLiteral("Primeiros passos"));
    // It walks a new user through the first session.
    for (const char* word : {"Alias", "Adicionar caminho", "Abrir base de dados", "Incluir", "Novo", "Salvar"})
        QVERIFY2(TvxHelpPages::Normalize(page->html).contains(TvxHelpPages::Normalize(QString::fromUtf8(word))),
                 word);
}

QTEST_MAIN(HelpWindowTest)
#include "HelpWindowTest.moc"
