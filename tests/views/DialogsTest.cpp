// The small dialogs: captions, sizes and tab order of the name, name-and-list and password
// dialogs and of the command list; what each gives back after OK, Cancel or Escape; the "*" of
// the password edit; and the directory choice, which lets a missing directory through only when
// it may be created.

#include "views/TvxDirectoryDialog.h"
#include "views/fmNameEnterPOR.h"
#include "views/fmNameListEnterPOR.h"
#include "views/fmPasswordEnterPOR.h"
#include "views/fmShowComm.h"
#include "support/TempDir.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QApplication>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>

using namespace morvane;

namespace {

using Maker = std::function<TFormNameEnter*()>;

// The widgets Tab visits from the edit on, until it comes back.
QList<QWidget*> TabChain(QWidget* first)
{
    QList<QWidget*> chain{first};
    for (QWidget* w = first->nextInFocusChain(); w != first && chain.size() < 20; w = w->nextInFocusChain())
        if (w->focusPolicy() & Qt::TabFocus)
            chain << w;
    return chain;
}

} // namespace

Q_DECLARE_METATYPE(Maker)

class DialogsTest : public QObject
{
    Q_OBJECT

private slots:
    void nameDialogs_data();
    void nameDialogs();
    void passwordShowsStars();
    void commandList();
    void directoryChoice();
};

void DialogsTest::nameDialogs_data()
{
    QTest::addColumn<Maker>("make");
    QTest::addColumn<QString>("cancel");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<bool>("hasList");
    QTest::newRow("name") << Maker([] { return new TFormNameEnter(nullptr, "&Nome da tabela", "Ler nome da tabela"); })
                          << "Cancel" << QSize(394, 98) << false;
    QTest::newRow("name POR") << Maker([] {
        return new TFormNameEnterPOR(nullptr, "&Nome da tabela", "Ler nome da tabela");
    }) << "Cancelar" << QSize(394, 98) << false;
    QTest::newRow("name and list POR") << Maker([] {
        return new TFormNameListEnterPOR(nullptr, {"STANDARD", "PARADOX", "dBASE"}, "Drives", "&Nome da tabela",
                                         "Ler nome da tabela");
    }) << "Cancelar" << QSize(394, 118) << true;
    QTest::newRow("password POR") << Maker([] {
        return new TFormPasswordEnterPOR(nullptr, "&Nome da tabela", "Ler nome da tabela");
    }) << "Cancelar" << QSize(390, 99) << false;
}

void DialogsTest::nameDialogs()
{
    QFETCH(Maker, make);
    QFETCH(QString, cancel);
    QFETCH(QSize, size);
    QFETCH(bool, hasList);
    std::unique_ptr<TFormNameEnter> dialog(make());
    QCOMPARE(dialog->windowTitle(), QStringLiteral("Ler nome da tabela"));
    QCOMPARE(dialog->LabelText->text(), QStringLiteral("&Nome da tabela"));
    QCOMPARE(dialog->LabelText->buddy(), dialog->EditText);
    QVERIFY(dialog->LabelText->alignment() & Qt::AlignRight);
    QCOMPARE(dialog->EditText->width(), 121);
    QCOMPARE(dialog->BitBtnOk->text(), QStringLiteral("OK"));
    QCOMPARE(dialog->BitBtnCancel->text(), cancel);
    QCOMPARE(dialog->size(), size);
    QCOMPARE(dialog->font().pixelSize(), 13);
    auto* list = dialog->findChild<QComboBox*>(QStringLiteral("List"));
    QCOMPARE(list != nullptr, hasList);
    QList<QWidget*> expectedChain{dialog->EditText};
    if (list) {
        QStringList items;
        for (int i = 0; i < list->count(); ++i)
            items << list->itemText(i);
        QCOMPARE(items, (QStringList{"dBASE", "PARADOX", "STANDARD"}));
        QVERIFY(!list->isEditable());
        QCOMPARE(dialog->findChild<QLabel*>(QStringLiteral("LabelList"))->text(), QStringLiteral("Drives"));
        expectedChain << list;
    }
    expectedChain << dialog->BitBtnOk << dialog->BitBtnCancel;
    QCOMPARE(TabChain(dialog->EditText), expectedChain);

    // A proposed text comes back unchanged through OK.
    dialog->SetEnteredText(QStringLiteral("CLIENTES"));
    QTimer::singleShot(0, dialog->BitBtnOk, &QPushButton::click);
    QCOMPARE(dialog->exec(), int(QDialog::Accepted));
    QCOMPARE(dialog->EnteredText(), QStringLiteral("CLIENTES"));

    // Cancel, by the button or the Escape key, after typing: the empty text.
    for (bool escape : {false, true}) {
        dialog->SetEnteredText(QStringLiteral("digitado"));
        QTimer::singleShot(0, dialog.get(), [&dialog, escape] {
            if (escape)
                QTest::keyClick(dialog->EditText, Qt::Key_Escape);
            else
                dialog->BitBtnCancel->click();
        });
        QCOMPARE(dialog->exec(), int(QDialog::Rejected));
        QVERIFY(dialog->EnteredText().isEmpty());
    }
}

void DialogsTest::passwordShowsStars()
{
    TFormPasswordEnterPOR dialog(nullptr, QStringLiteral("Senha:"), QStringLiteral("Entre a senha"));
    dialog.show();
    QTest::keyClicks(dialog.EditText, QStringLiteral("123abc"));
    QCOMPARE(dialog.EditText->echoMode(), QLineEdit::Password);
    QCOMPARE(dialog.EditText->displayText(), QStringLiteral("******"));
    QCOMPARE(dialog.EnteredText(), QStringLiteral("123abc"));
    QCOMPARE(dialog.EditText->font().pixelSize(), 20);
}

void DialogsTest::commandList()
{
    TFormShowComm dialog;
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Show Commands"));
    QCOMPARE(dialog.size(), QSize(494, 480));
    QCOMPARE(dialog.Button1->text(), QStringLiteral("Button1"));
    const QStringList lines{"Add alias ->  EXEMPLO STANDARD /dados", "Create table ->  NOVA"};
    dialog.SetLines(lines);
    QCOMPARE(dialog.Lines(), lines);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    // The memo fills the window under the button's strip.
    QCOMPARE(dialog.Memo->y(), 40);
    QCOMPARE(dialog.Memo->height(), 480 - 40);
    QTimer::singleShot(0, dialog.Button1, &QPushButton::click);
    QCOMPARE(dialog.exec(), int(QDialog::Accepted));
}

void DialogsTest::directoryChoice()
{
    test::TempDir dir;
    const QString existing = QString::fromStdString(dir.str());
    const QString missing = QDir(existing).filePath(QStringLiteral("novo/sub"));
    for (bool allowCreate : {true, false}) {
        TvxDirectoryDialog dialog(nullptr, existing, allowCreate);
        QCOMPARE(QDir(dialog.directory()).canonicalPath(), QDir(existing).canonicalPath());
        int helped = 0;
        dialog.OnHelp = [&helped] { ++helped; };
        dialog.show();
        QTest::keyClick(&dialog, Qt::Key_F1);
        QCOMPARE(helped, 1);
        dialog.selectFile(missing);
        // Refused, the toolkit tells so in a message box of its own, which is closed here.
        bool warned = false;
        QTimer::singleShot(0, &dialog, [&warned] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                warned = true;
                box->reject();
            }
        });
        dialog.accept();
        QCOMPARE(warned, !allowCreate);
        // Let through only when it may be created (by the caller, after asking); otherwise the
        // dialog stays open, and nothing is created either way.
        QCOMPARE(dialog.result() == QDialog::Accepted, allowCreate);
        if (allowCreate)
            QCOMPARE(dialog.ChosenDirectory(), missing);
        QVERIFY(!QDir(missing).exists());
        dialog.reject();
    }
    // A new folder typed (by name, from the folder shown) keeps the button enabled and is taken
    // exactly as typed, not as the folder shown.
    TvxDirectoryDialog typed(nullptr, existing, true);
    auto* edit = typed.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    QVERIFY(edit);
    typed.show();
    QTest::keyClicks(edit, QStringLiteral("nova pasta"));
    auto* buttons = typed.findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"));
    QVERIFY(buttons && buttons->button(QDialogButtonBox::Open)->isEnabled());
    QTest::keyClick(edit, Qt::Key_Return);
    QCOMPARE(typed.result(), int(QDialog::Accepted));
    QCOMPARE(typed.ChosenDirectory(), QDir(existing).filePath(QStringLiteral("nova pasta")));

    TvxDirectoryDialog chosen(nullptr, existing, false);
    chosen.selectFile(existing);
    chosen.accept();
    QCOMPARE(chosen.result(), int(QDialog::Accepted));
    QCOMPARE(QDir(chosen.ChosenDirectory()).canonicalPath(), QDir(existing).canonicalPath());
}

QTEST_MAIN(DialogsTest)
#include "DialogsTest.moc"
