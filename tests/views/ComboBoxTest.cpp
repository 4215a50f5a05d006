// The combo box reports each close of its drop-down list exactly once, however it closes.

#include <QAbstractItemView>
#include <QSignalSpy>
#include <QtTest>

#include "views/cpComboBox.h"

using namespace morvane;

class ComboBoxTest : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void hidePopupFiresOnce();
    void escapeAndChoiceFireOncePerClose();
    void closingFromOutsideFiresOnce();
    void noCloseWithoutOpen();

private:
    TvxCombobox* combo_ = nullptr;
};

void ComboBoxTest::init()
{
    combo_ = new TvxCombobox;
    combo_->addItems({QStringLiteral("A.db"), QStringLiteral("B.db"), QStringLiteral("C.DB")});
    combo_->show();
    QVERIFY(QTest::qWaitForWindowExposed(combo_));
}

void ComboBoxTest::cleanup()
{
    delete combo_;
    combo_ = nullptr;
}

void ComboBoxTest::hidePopupFiresOnce()
{
    QSignalSpy spy(combo_, &TvxCombobox::OnCloseUp);
    combo_->showPopup();
    QVERIFY(combo_->view()->isVisible());
    QCOMPARE(spy.count(), 0);
    combo_->hidePopup();
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).value<QObject*>(), combo_);
    combo_->hidePopup();
    QCOMPARE(spy.count(), 1);

    combo_->showPopup();
    combo_->hidePopup();
    QCOMPARE(spy.count(), 2);
}

void ComboBoxTest::escapeAndChoiceFireOncePerClose()
{
    QSignalSpy spy(combo_, &TvxCombobox::OnCloseUp);
    combo_->showPopup();
    QTest::keyClick(combo_->view(), Qt::Key_Escape);
    QTRY_VERIFY(!combo_->view()->isVisible());
    QCOMPARE(spy.count(), 1);

    combo_->showPopup();
    QTest::keyClick(combo_->view(), Qt::Key_Down);
    QTest::keyClick(combo_->view(), Qt::Key_Return);
    QTRY_VERIFY(!combo_->view()->isVisible());
    QCOMPARE(spy.count(), 2);
    QCOMPARE(combo_->currentIndex(), 1);
}

void ComboBoxTest::closingFromOutsideFiresOnce()
{
    QSignalSpy spy(combo_, &TvxCombobox::OnCloseUp);
    combo_->showPopup();
    // The list's window closes by itself, as it does on a click elsewhere.
    combo_->view()->window()->close();
    QTRY_VERIFY(!combo_->view()->isVisible());
    QCOMPARE(spy.count(), 1);
    combo_->hidePopup();
    QCOMPARE(spy.count(), 1);
}

void ComboBoxTest::noCloseWithoutOpen()
{
    QSignalSpy spy(combo_, &TvxCombobox::OnCloseUp);
    combo_->hidePopup();
    combo_->setCurrentIndex(2);
    QCOMPARE(spy.count(), 0);
}

QTEST_MAIN(ComboBoxTest)
#include "ComboBoxTest.moc"
