// The About box: its labels come from the version texts, and its link goes to the desktop.

#include "views/TvxResourceVersion.h"
#include "views/fmAboutPOR.h"

#include <QDesktopServices>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QUrl>

using namespace morvane;

class UrlCatcher : public QObject
{
    Q_OBJECT

public:
    QList<QUrl> opened;

public slots:
    void open(const QUrl& url) { opened << url; }
};

class AboutTest : public QObject
{
    Q_OBJECT

private slots:
    void labelsFromVersionTexts();
    void emptyVersionTexts();
    void linkOpensInTheDesktopBrowser();
    void okCloses();
};

void AboutTest::labelsFromVersionTexts()
{
    TfrmAboutPOR about(TvxResourceVersion::Instance());
    QCOMPARE(about.windowTitle(), QStringLiteral("Sobre o Morvane"));
    QCOMPARE(about.findChild<QLabel*>("lbProductName")->text(), QStringLiteral("Morvane for Paradox 1.1"));
    QCOMPARE(about.findChild<QLabel*>("lbl1FileVersion")->text(), QString::fromUtf8("Versão"));
    QCOMPARE(about.findChild<QLabel*>("lblFileVersion")->text(), QStringLiteral("1.1.0.0"));
    QCOMPARE(about.findChild<QLabel*>("lbLegal")->text(), TvxResourceVersion::Instance().LegalCopyright());
    QVERIFY(about.findChild<QLabel*>("lbLink")->text().contains(TfrmAbout::WebAddress()));
    QVERIFY(!about.findChild<QLabel*>("imgLogo")->pixmap().isNull());
}

void AboutTest::emptyVersionTexts()
{
    const TvxResourceVersion none(nullptr);
    TfrmAbout about(none);
    QCOMPARE(about.findChild<QLabel*>("lbProductName")->text(), QStringLiteral(" "));
    QVERIFY(about.findChild<QLabel*>("lblFileVersion")->text().isEmpty());
    QVERIFY(about.findChild<QLabel*>("lbLegal")->text().isEmpty());
}

void AboutTest::linkOpensInTheDesktopBrowser()
{
    UrlCatcher catcher;
    QDesktopServices::setUrlHandler(QStringLiteral("https"), &catcher, "open");
    TfrmAboutPOR about(TvxResourceVersion::Instance());
    emit about.findChild<QLabel*>("lbLink")->linkActivated(TfrmAbout::WebAddress());
    QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
    QCOMPARE(catcher.opened, QList<QUrl>{QUrl(TfrmAbout::WebAddress())});
}

void AboutTest::okCloses()
{
    TfrmAboutPOR about(TvxResourceVersion::Instance());
    about.show();
    QTest::mouseClick(about.findChild<QPushButton*>("btnOK"), Qt::LeftButton);
    QVERIFY(!about.isVisible());
    QCOMPARE(about.result(), int(QDialog::Accepted));
}

QTEST_MAIN(AboutTest)
#include "AboutTest.moc"
