// The scripted prompts that tests rely on, the Qt filter form, and the field dialog's rules:
// the size range, the refused close, BCD keeping its size in units2, an unchanged default.

#include "editor/TvxQtPrompts.h"
#include "editor/TvxScriptedPrompts.h"
#include "editor/fmEditFields.h"
#include "views/TvxResourceVersion.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using namespace morvane;

namespace {

TvxFieldTypeRec Type(const char* name, int code, int min1, int max1, int min2, int max2)
{
    TvxFieldTypeRec type;
    type.setName(name);
    type.setTypeCode(code);
    type.setMinUnits1(min1);
    type.setMaxUnits1(max1);
    type.setMinUnits2(min2);
    type.setMaxUnits2(max2);
    return type;
}

std::vector<TvxFieldTypeRec> Types()
{
    return {Type("ALPHA", 257, 1, 255, 0, 0), Type("DATE", 258, 0, 0, 0, 0), Type("BCD", 273, 0, 0, 0, 32)};
}

// Runs the step on the modal dialog once it is shown.
void OnDialog(const std::function<void(QDialog&)>& step)
{
    QTimer::singleShot(0, [step] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        step(*dialog);
    });
}

QPushButton* Button(const QDialog& dialog, const char* name)
{
    return dialog.findChild<QPushButton*>(QLatin1String(name));
}

} // namespace

class PromptsAndFieldDialogTest : public QObject
{
    Q_OBJECT

private slots:
    void scriptedAnswersAndRecords();
    void qtFilter();
    void qtNameDialogs();
    void fieldDialogRangeAndClose();
    void fieldDialogBcdAndDefault();
    void fieldDialogCancelLeavesRecord();
};

void PromptsAndFieldDialogTest::scriptedAnswersAndRecords()
{
    TvxScriptedPrompts prompts;
    // Empty queues: OK-only boxes answer OK, questions and dialogs are cancelled and counted.
    QCOMPARE(prompts.Message(TvxMsgKind::Information, "c", "t", TvxMsgButtons::Ok), TvxMsgResult::Ok);
    QCOMPARE(prompts.Unanswered(), 0);
    QCOMPARE(prompts.Message(TvxMsgKind::Question, "c", "t", TvxMsgButtons::YesNoCancel), TvxMsgResult::Cancel);
    QVERIFY(!prompts.EnterName("Ler nome da tabela", "&Nome da tabela", "CLIENTES", true));
    QCOMPARE(prompts.Unanswered(), 2);

    prompts.QueueMessageAnswer(TvxMsgResult::Yes);
    prompts.QueueText(QStringLiteral("NOVA"));
    prompts.QueueText(std::nullopt);
    QCOMPARE(prompts.Message(TvxMsgKind::Question, "c", "t", TvxMsgButtons::YesNoCancel), TvxMsgResult::Yes);
    QCOMPARE(prompts.EnterNameWithList("Ler nome do alias", "&Nome do Alias", "Drives", {"STANDARD"}),
             std::optional<QString>(QStringLiteral("NOVA")));
    QVERIFY(!prompts.ChooseDirectory("/tmp", true, 1000));

    const auto& calls = prompts.Calls();
    QCOMPARE(calls.size(), std::size_t(6));
    QCOMPARE(calls[2].what, QStringLiteral("EnterName"));
    QCOMPARE(calls[2].extra, QStringList{"CLIENTES"});
    QVERIFY(calls[2].flag);
    QCOMPARE(calls[4].extra, (QStringList{"Drives", "STANDARD"}));
    QCOMPARE(calls[5].what, QStringLiteral("ChooseDirectory"));
    QCOMPARE(calls[5].text, QStringLiteral("1000"));

    TvxFieldDesc field;
    QString value;
    prompts.QueueFieldAnswer([](TvxFieldDesc& f, QString& v) {
        f.setName("CODIGO");
        v = QStringLiteral("1");
        return true;
    });
    QVERIFY(prompts.EditField(field, value, Types()));
    QCOMPARE(field.name(), std::string("CODIGO"));
    QCOMPARE(value, QStringLiteral("1"));
    QVERIFY(!prompts.EditField(field, value, Types()));
}

void PromptsAndFieldDialogTest::qtFilter()
{
    QCOMPARE(TvxQtPrompts::QtFilter(QStringLiteral("Arquivos do Morvane (vxscript)|*.vxscript")),
             QStringLiteral("Arquivos do Morvane (vxscript) (*.vxscript)"));
    QCOMPARE(TvxQtPrompts::QtFilter(QString::fromUtf8(
                 "Scrip de atualização (VXUSP)|*.vxusp|Scrip de manuntenção (VXMSP)|*.vxmsp")),
             QString::fromUtf8("Scrip de atualização (VXUSP) (*.vxusp);;Scrip de manuntenção (VXMSP) (*.vxmsp)"));
    // A description without its pattern is dropped rather than shown as a broken filter.
    QCOMPARE(TvxQtPrompts::QtFilter(QStringLiteral("Só texto")), QString());
}

void PromptsAndFieldDialogTest::qtNameDialogs()
{
    TvxQtPrompts qtPrompts(TvxResourceVersion::Instance());
    IvxPrompts& prompts = qtPrompts;

    // A proposed text left as it is comes back unchanged with OK.
    QString caption, label, cancelCaption;
    OnDialog([&](QDialog& dialog) {
        caption = dialog.windowTitle();
        label = dialog.findChild<QLabel*>()->text();
        cancelCaption = Button(dialog, "BitBtnCancel")->text();
        QTest::mouseClick(Button(dialog, "BitBtnOk"), Qt::LeftButton);
    });
    QCOMPARE(prompts.EnterName("Ler nome da tabela", "&Nome da tabela", "CLIENTES"),
             std::optional<QString>(QStringLiteral("CLIENTES")));
    QCOMPARE(caption, QStringLiteral("Ler nome da tabela"));
    QCOMPARE(label, QStringLiteral("&Nome da tabela"));
    QCOMPARE(cancelCaption, QStringLiteral("Cancelar"));

    // Typing and then cancelling gives nothing back; the base form's button reads "Cancel".
    OnDialog([&](QDialog& dialog) {
        cancelCaption = Button(dialog, "BitBtnCancel")->text();
        QTest::keyClicks(dialog.findChild<QLineEdit*>("EditText"), QStringLiteral("NOVA"));
        QTest::mouseClick(Button(dialog, "BitBtnCancel"), Qt::LeftButton);
    });
    QCOMPARE(prompts.EnterName("Ler nome da tabela", "&Nome da tabela", "CLIENTES", true), std::nullopt);
    QCOMPARE(cancelCaption, QStringLiteral("Cancel"));

    // The list below the name is sorted and offers no free text; tab order: edit, list, OK, Cancel.
    QStringList items;
    QList<QWidget*> order;
    OnDialog([&](QDialog& dialog) {
        auto* list = dialog.findChild<QComboBox*>("List");
        for (int i = 0; i < list->count(); ++i)
            items << list->itemText(i);
        QVERIFY(!list->isEditable());
        auto* edit = dialog.findChild<QLineEdit*>("EditText");
        for (QWidget* w = edit; order.size() < 4; w = w->nextInFocusChain())
            if (w->focusPolicy() & Qt::TabFocus)
                order << w;
        QCOMPARE(order, (QList<QWidget*>{edit, list, Button(dialog, "BitBtnOk"), Button(dialog, "BitBtnCancel")}));
        QTest::keyClicks(edit, QStringLiteral("VENDAS"));
        QTest::mouseClick(Button(dialog, "BitBtnOk"), Qt::LeftButton);
    });
    QCOMPARE(prompts.EnterNameWithList("Ler nome do alias", "&Nome do Alias", "Drives", {"STANDARD", "PARADOX"}),
             std::optional<QString>(QStringLiteral("VENDAS")));
    QCOMPARE(items, (QStringList{"PARADOX", "STANDARD"}));

    // The password edit shows a "*" for every character typed.
    QString shown;
    OnDialog([&](QDialog& dialog) {
        auto* edit = dialog.findChild<QLineEdit*>("EditText");
        QTest::keyClicks(edit, QStringLiteral("abc"));
        shown = edit->displayText();
        QTest::mouseClick(Button(dialog, "BitBtnOk"), Qt::LeftButton);
    });
    QCOMPARE(prompts.EnterPassword("Entre a senha", "Senha:"), std::optional<QString>(QStringLiteral("abc")));
    QCOMPARE(shown, QStringLiteral("***"));
}

void PromptsAndFieldDialogTest::fieldDialogRangeAndClose()
{
    TFormEditFieldPOR dialog;
    QCOMPARE(dialog.windowTitle(), QString::fromUtf8("Edição de campos"));
    TvxFieldDesc field;
    field.setType(257);
    QString value;
    bool refusedWithoutName = false;
    bool refusedOutOfRange = false;
    QTimer::singleShot(0, &dialog, [&] {
        QCOMPARE(dialog.lbRange->text(), QStringLiteral("1 - 255"));
        QVERIFY(dialog.EditSize->isEnabled());
        dialog.EditSize->setText(QStringLiteral("20"));
        dialog.accept();   // no name yet: stays open
        refusedWithoutName = dialog.isVisible();
        dialog.EditName->setText(QStringLiteral("NOME"));
        dialog.EditSize->setText(QStringLiteral("300"));
        dialog.accept();   // out of range: stays open
        refusedOutOfRange = dialog.isVisible();
        dialog.EditSize->setText(QStringLiteral("20"));
        dialog.accept();
    });
    QCOMPARE(dialog.EditField(field, value, Types()), int(QDialog::Accepted));
    QVERIFY(refusedWithoutName);
    QVERIFY(refusedOutOfRange);
    QCOMPARE(field.name(), std::string("NOME"));
    QCOMPARE(field.units1(), 20);
    QCOMPARE(field.type(), 257);
}

void PromptsAndFieldDialogTest::fieldDialogBcdAndDefault()
{
    TFormEditFieldPOR dialog;
    TvxFieldDesc field;
    field.setName("VALOR");
    field.setType(257);
    field.setUnits1(17);
    QString value = QStringLiteral("antigo");
    QTimer::singleShot(0, &dialog, [&] {
        dialog.ComboType->setCurrentIndex(2);   // BCD: units1 fixed, the size is the decimals
        QCOMPARE(dialog.lbRange->text(), QStringLiteral("0 - 32"));
        dialog.EditSize->setText(QStringLiteral("2"));
        dialog.EditDefault->clear();
        dialog.accept();
    });
    QCOMPARE(dialog.EditField(field, value, Types()), int(QDialog::Accepted));
    QCOMPARE(field.type(), 273);
    QCOMPARE(field.units2(), 2);
    QCOMPARE(field.units1(), 17);
    QCOMPARE(value, QStringLiteral("antigo"));
}

void PromptsAndFieldDialogTest::fieldDialogCancelLeavesRecord()
{
    TFormEditFieldPOR dialog;
    TvxFieldDesc field;
    field.setName("DATA");
    field.setType(258);
    const TvxFieldDesc before = field;
    QString value;
    QTimer::singleShot(0, &dialog, [&] {
        QVERIFY(!dialog.EditSize->isEnabled());
        QVERIFY(dialog.lbRange->text().isEmpty());
        dialog.EditName->setText(QStringLiteral("OUTRO"));
        dialog.reject();
    });
    QCOMPARE(dialog.EditField(field, value, Types()), int(QDialog::Rejected));
    QVERIFY(field.bytes() == before.bytes());
}

QTEST_MAIN(PromptsAndFieldDialogTest)
#include "PromptsAndFieldDialogTest.moc"
