// The field dialog with the driver's real type list, and the "&Campos" commands through the real
// window on copies of sample tables: the checks (102-106), Enter on the blank row, index keys,
// checks and rules following inserted and deleted fields, and the validity check of the
// selected new field as the user types.

#include "editor/fmEditFields.h"
#include "editor/TvxDocumentState.h"
#include "editor/TvxFieldCommands.h"
#include "editor/TvxMessages.h"
#include "editor/vxApplication.h"
#include "model/vxFieldTypes.h"
#include "script/cpDBStructScript.h"
#include "script/TvxScriptHistory.h"
#include "views/cpFieldGrid.h"
#include "views/cpFieldsListBox.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>

#include "EditorFixture.h"

using namespace morvane;
using test::EditorWindow;
using test::Text;

namespace {

std::vector<int> Keys(const TvxIndexDesc& index)
{
    std::vector<int> keys;
    for (int k = 0; k < index.keyFieldCount(); ++k)
        keys.push_back(index.keyField(k));
    return keys;
}

// Key fields of every index, then the field numbers of the checks, of the selected new table.
std::vector<std::vector<int>> KeysAndChecks(const TvxTableDesc& table)
{
    std::vector<std::vector<int>> out;
    for (int i = 0; i < table.IndexCount(); ++i)
        out.push_back(Keys(*table.GetIndex(i)));
    std::vector<int> checks;
    for (int i = 0; i < table.ValCheckCount(); ++i)
        checks.push_back(table.GetValCheck(i)->fieldNumber());
    out.push_back(checks);
    return out;
}

// The dialog's answer: a field of that name, type and size (units1, or the decimals of BCD).
TvxScriptedPrompts::FieldAnswer Field(const char* name, int type, int size = 0, QString value = {})
{
    return [=](TvxFieldDesc& f, QString& v) {
        f.setName(name);
        f.setType(type);
        if (type == fldBcd)
            f.setUnits2(size);
        else
            f.setUnits1(size);
        if (!value.isEmpty())
            v = value;
        return true;
    };
}

const TvxPromptCall* LastFieldDialog(const TvxScriptedPrompts& prompts)
{
    for (auto it = prompts.Calls().rbegin(); it != prompts.Calls().rend(); ++it)
        if (it->what == QLatin1String("EditField"))
            return &*it;
    return nullptr;
}

} // namespace

class FieldCommandsTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { vxInitApplication(*qobject_cast<QApplication*>(QCoreApplication::instance())); }
    void fieldDialogTypeRanges_data();
    void fieldDialogTypeRanges();
    void commandsAndTheirChecks();
    void keysFollowTheFields_data();
    void keysFollowTheFields();
    void validityCheckAsTyped();
    void controlsFollowTheSelectedTable();
};

void FieldCommandsTest::fieldDialogTypeRanges_data()
{
    QTest::addColumn<QString>("type"); // "" chooses none
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("size");
    QTest::addColumn<QString>("range"); // beside the size field
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<int>("units1");
    QTest::addColumn<int>("units2");
    QTest::addColumn<QString>("defaultText"); // typed; empty keeps the default "antigo"

    // The record starts as an Alpha field of 17 with 3 in units2.
    // clang-format off
    QTest::newRow("alpha within 1-255") << "ALPHA" << "Nome" << "255" << "1 - 255" << true << 255 << 3 << "";
    QTest::newRow("alpha 0")            << "ALPHA" << "Nome" << "0" << "1 - 255" << false << 17 << 3 << "1/2/2000";
    QTest::newRow("alpha, negative")    << "ALPHA" << "Nome" << "-1" << "1 - 255" << false << 17 << 3 << "1/2/2000";
    QTest::newRow("alpha, no name")     << "ALPHA" << "" << "20" << "1 - 255" << false << 17 << 3 << "1/2/2000";
    QTest::newRow("bcd: the decimals")  << "BCD" << "Valor" << "32" << "0 - 32" << true << 17 << 32 << "1/2/2000";
    QTest::newRow("bcd 33 decimals")    << "BCD" << "Valor" << "33" << "0 - 32" << false << 17 << 3 << "1/2/2000";
    QTest::newRow("bcd, no name")       << "BCD" << "" << "2" << "0 - 32" << false << 17 << 3 << "1/2/2000";
    QTest::newRow("memo from 1")        << "MEMO" << "Obs" << "0" << "1 - 240" << false << 17 << 3 << "1/2/2000";
    QTest::newRow("binary from 0")      << "BINARY" << "Dados" << "0" << "0 - 240" << true << 0 << 3 << "1/2/2000";
    QTest::newRow("date takes no size") << "DATE" << "Data" << "" << "" << true << 0 << 3 << "1/2/2000";
    QTest::newRow("date, no name")      << "DATE" << "" << "" << "" << false << 17 << 3 << "1/2/2000";
    QTest::newRow("no type chosen")     << "" << "Nome" << "20" << "" << false << 17 << 3 << "1/2/2000";
    // clang-format on
}

void FieldCommandsTest::fieldDialogTypeRanges()
{
    QFETCH(QString, type);
    QFETCH(QString, name);
    QFETCH(QString, size);
    QFETCH(QString, range);
    QFETCH(bool, accepted);
    QFETCH(int, units1);
    QFETCH(int, units2);
    QFETCH(QString, defaultText);

    EditorWindow e("pd-joins", {});
    std::vector<TvxFieldTypeRec> types;
    for (const auto& entry : e.w().Database().FieldTypeList())
        types.push_back(entry.record);
    TFormEditFieldPOR dialog;
    TvxFieldDesc field;
    field.setType(fldAlpha);
    field.setUnits1(17);
    field.setUnits2(3);
    const TvxFieldDesc before = field;
    QString defaultValue = QStringLiteral("antigo");
    bool closedOnOk = false;
    QString shownRange;
    QString proposed;
    QTimer::singleShot(0, &dialog, [&] {
        dialog.ComboType->setCurrentIndex(type.isEmpty() ? -1 : dialog.ComboType->findText(type));
        shownRange = dialog.lbRange->text();
        proposed = dialog.EditSize->text();
        dialog.EditName->setText(name);
        dialog.EditSize->setText(size);
        dialog.EditDefault->setText(defaultText);
        dialog.accept();
        closedOnOk = !dialog.isVisible();
        if (!closedOnOk)
            dialog.reject(); // Cancel always closes
    });
    QCOMPARE(dialog.EditField(field, defaultValue, types) == QDialog::Accepted, accepted);
    QCOMPARE(closedOnOk, accepted);
    QCOMPARE(shownRange, range);
    // The size proposed for the type chosen lies within the range shown.
    if (!range.isEmpty()) {
        const QStringList bounds = range.split(QStringLiteral(" - "));
        QVERIFY2(proposed.toInt() >= bounds.at(0).toInt() && proposed.toInt() <= bounds.at(1).toInt(),
                 qPrintable(proposed));
    }
    QCOMPARE(field.units1(), units1);
    QCOMPARE(field.units2(), units2);
    if (accepted) {
        QCOMPARE(QString::fromStdString(e.w().Database().FieldTypeName(field.type())), type);
        QCOMPARE(defaultValue, defaultText.isEmpty() ? QStringLiteral("antigo") : defaultText);
    } else {
        QVERIFY(field.bytes() == before.bytes());
        QCOMPARE(defaultValue, QStringLiteral("antigo"));
    }
}

void FieldCommandsTest::commandsAndTheirChecks()
{
    EditorWindow e("pd-joins", {"two", "fk4"});
    TFormDBScript& w = e.w();
    TvxScriptedPrompts& prompts = *e.prompts;

    // Nothing selected.
    for (QAction* item : {w.mnFieldAdd, w.mnFieldMove, w.mnFieldDelete})
        item->trigger();
    QCOMPARE(e.Messages(), (QStringList{Text(102), Text(102), Text(105)}));

    e.AddTable("two");
    e.AddTable("fk4");
    e.SelectNew(QStringLiteral("two"));
    // "two" is the master of fk4's rule over its key ID1, ID2: no field goes into that key.
    w.FieldGrid->SelectRow(2);
    w.mnFieldAdd->trigger();
    w.mnFieldMove->trigger();
    QVERIFY(!LastFieldDialog(prompts));
    QCOMPARE(e.Messages(), (QStringList{Text(103), Text(103)}));

    // Enter on the blank row asks for a new field there: Alpha, no name.
    w.Document.ScriptChanged = false;
    w.FieldGrid->SelectRow(w.FieldGrid->RowCount() - 1);
    prompts.QueueFieldAnswer(Field("Codigo", fldLong, 0, QStringLiteral("7")));
    QTest::keyClick(w.FieldGrid, Qt::Key_Return);
    const TvxPromptCall* asked = LastFieldDialog(prompts);
    QVERIFY(asked);
    QCOMPARE(asked->text, QString());
    QCOMPARE(e.selected().FieldCount(), 4);
    QCOMPARE(e.selected().GetField(3)->name(), std::string("Codigo"));
    QCOMPARE(e.selected().GetField(3)->fieldNumber(), 4);
    QCOMPARE(w.FieldGrid->Cells(0, 4), QStringLiteral("Codigo"));
    QVERIFY(w.Document.ScriptChanged);

    // "&Alterar" offers the default value the field was created with.
    w.FieldGrid->SelectRow(4);
    prompts.QueueFieldAnswer([](TvxFieldDesc& f, QString&) {
        f.setName("Codigo2");
        return true;
    });
    QTest::keyClick(w.FieldGrid, Qt::Key_Enter);
    QCOMPARE(LastFieldDialog(prompts)->extra.value(0), QStringLiteral("7"));
    QCOMPARE(e.selected().GetField(3)->name(), std::string("Codigo2"));

    // A name that an index has (104), in any letter case.
    e.SelectNew(QStringLiteral("fk4"));
    w.FieldGrid->SelectRow(w.FieldGrid->RowCount() - 1);
    prompts.QueueFieldAnswer(Field("REFERENCE", fldLong));
    w.mnFieldAdd->trigger();
    // Refused, the dialog opens again with what was typed (cancelled here).
    QCOMPARE(LastFieldDialog(prompts)->text, QStringLiteral("REFERENCE"));
    QCOMPARE(e.Messages(), QStringList{Text(104)});
    QCOMPARE(e.selected().FieldCount(), 4);
    // A name in use by another field (2, from the script).
    prompts.QueueFieldAnswer(Field("fk1", fldLong));
    w.mnFieldAdd->trigger();
    QCOMPARE(LastFieldDialog(prompts)->text, QStringLiteral("fk1"));
    QCOMPARE(e.Messages(), QStringList{Text(2)});

    // "&Mover": the current table's field, into the row selected.
    w.mnFieldMove->trigger();
    QCOMPARE(e.Messages(), QStringList{Text(106) + QLatin1Char('\n') + Text(10150)});
    QVERIFY(e.SelectCurrent(QStringLiteral("two")));
    w.FieldsList->setCurrentItem(w.FieldsList->topLevelItem(2));
    w.FieldGrid->SelectRow(3);
    prompts.QueueFieldAnswer([](TvxFieldDesc&, QString&) { return true; });
    w.mnFieldMove->trigger();
    QCOMPARE(LastFieldDialog(prompts)->text, QStringLiteral("Name"));
    QCOMPARE(e.Messages(), QStringList());
    QCOMPARE(e.selected().GetField(2)->name(), std::string("Name"));
    QCOMPARE(e.selected().GetField(2)->units1(), 3);
    // fk4's index "reference" over FK1 and FK (now field 5) follows.
    QCOMPARE(Keys(*e.selected().GetIndex(1)), (std::vector<int>{2, 5}));
    const int moves = e.w().StructScript().FindFirstOfKind(ckMoveField);
    QVERIFY(moves >= 0);

    // "&Apagar" of a field of the complete rule takes the rule's index with it.
    w.FieldGrid->SelectRow(2);
    w.mnFieldDelete->trigger();
    QCOMPARE(e.Messages(), QStringList());
    QCOMPARE(e.selected().FieldCount(), 4);
    QCOMPARE(w.NewIdxList->topLevelItemCount(), e.selected().IndexCount());
    QCOMPARE(e.selected().RefIntFilledCount(0), 0);

    // A field keeps its own name although its simple index is named after it.
    w.NewIdxList->setCurrentItem(nullptr);
    w.SpdBtnIdxAdd->click();
    w.NewIdxList->setCurrentItem(w.NewIdxList->topLevelItem(w.NewIdxList->topLevelItemCount() - 1));
    w.NewIdxFieldsList->setCurrentItem(w.NewIdxFieldsList->findItems("B1", Qt::MatchExactly).first());
    w.SpdBtnIdxAddField->click();
    QVERIFY(e.selected().IndexExists("B1"));
    w.FieldGrid->SelectRow(3);
    prompts.QueueFieldAnswer(Field("B1", fldAlpha, 5));
    w.mnFieldChange->trigger();
    QCOMPARE(e.Messages(), QStringList());
    QCOMPARE(e.selected().GetField(2)->units1(), 5);
}

void FieldCommandsTest::keysFollowTheFields_data()
{
    QTest::addColumn<QString>("command"); // "insert" or "delete"
    QTest::addColumn<int>("row");
    QTest::addColumn<std::vector<std::vector<int>>>("after");

    // "C": C, A, B; primary key C; indexes A and B; checks of fields 1 and 2.
    using K = std::vector<std::vector<int>>;
    // clang-format off
    QTest::newRow("insert at 1") << "insert" << 1 << K{{2}, {3}, {4}, {2, 3}};
    QTest::newRow("insert at 2") << "insert" << 2 << K{{1}, {3}, {4}, {1, 3}};
    QTest::newRow("insert at 3") << "insert" << 3 << K{{1}, {2}, {4}, {1, 2}};
    QTest::newRow("append")      << "insert" << 4 << K{{1}, {2}, {3}, {1, 2}};
    QTest::newRow("delete 1")    << "delete" << 1 << K{{}, {1}, {2}, {1}};
    QTest::newRow("delete 2")    << "delete" << 2 << K{{1}, {}, {2}, {1}};
    QTest::newRow("delete 3")    << "delete" << 3 << K{{1}, {2}, {}, {1, 2}};
    // clang-format on
}

void FieldCommandsTest::keysFollowTheFields()
{
    QFETCH(QString, command);
    QFETCH(int, row);
    QFETCH(std::vector<std::vector<int>>, after);

    EditorWindow e("pd-joins", {"C"});
    e.AddTable("C", 2); // its masters are not there: the rules go
    TFormDBScript& w = e.w();
    QCOMPARE(KeysAndChecks(e.selected()), (std::vector<std::vector<int>>{{1}, {2}, {3}, {1, 2}}));
    w.NewIdxList->setCurrentItem(w.NewIdxList->topLevelItem(2));
    w.FieldGrid->SelectRow(row);
    if (command == QLatin1String("insert")) {
        e.prompts->QueueFieldAnswer(Field("Novo", fldShort));
        w.mnFieldAdd->trigger();
    } else {
        e.prompts->QueueMessageAnswer(TvxMsgResult::Ok); // a key field is asked about first
        w.mnFieldDelete->trigger();
    }
    QCOMPARE(e.Messages().size(), command == QLatin1String("delete") && row == 1 ? 1 : 0);
    QCOMPARE(KeysAndChecks(e.selected()), after);
    // The selected index shows its keys by name.
    QStringList keys;
    for (int key : after[2])
        keys << QString::fromStdString(e.selected().GetField(key - 1)->name());
    QStringList shown;
    for (int i = 0; i < w.NewIdxFieldUsedList->count(); ++i)
        shown << w.NewIdxFieldUsedList->item(i)->text();
    QCOMPARE(shown, keys);
}

void FieldCommandsTest::validityCheckAsTyped()
{
    EditorWindow e("pd-joins", {"C"});
    e.AddTable("C", 2);
    TFormDBScript& w = e.w();
    // Undo puts back copies of the tables: the check is looked up in the table selected now.
    const auto checkOf = [&e](int fieldNo) { return e.selected().FindValCheck(fieldNo); };

    // Field 1 shows its check: required.
    w.FieldGrid->SelectRow(1);
    QVERIFY(w.CheckNewRequired->isChecked());
    QVERIFY(w.EditNewMin->isEnabled());

    // Typing a minimum into field 3 (no check) makes one; emptying everything removes it.
    w.FieldGrid->SelectRow(3);
    QVERIFY(!w.CheckNewRequired->isChecked());
    w.Document.ScriptChanged = false;
    QTest::keyClicks(w.EditNewMin, QStringLiteral("5"));
    QVERIFY(checkOf(3));
    QVERIFY(checkOf(3)->hasMinimum());
    QCOMPARE(ValueToText(checkOf(3)->minimum(), fldLong), std::optional<std::string>("5"));
    QVERIFY(w.Document.ScriptChanged);
    QTest::keyClicks(w.EditNewMin, QStringLiteral("0"));
    QCOMPARE(ValueToText(checkOf(3)->minimum(), fldLong), std::optional<std::string>("50"));
    QTest::keyClick(w.EditNewMin, Qt::Key_Backspace);
    QTest::keyClick(w.EditNewMin, Qt::Key_Backspace);
    QVERIFY(!checkOf(3));

    // Undo takes back a run of typing in one field whole; a run that ended where it began left
    // no step.
    const int steps = w.History().UndoCount();
    QTest::keyClick(w.EditNewMin, Qt::Key_Return);
    QTest::keyClicks(w.EditNewMin, QStringLiteral("12"));
    QTest::keyClick(w.EditNewMin, Qt::Key_Return);
    QTest::keyClicks(w.EditNewMax, QStringLiteral("99"));
    QCOMPARE(w.History().UndoCount(), steps + 2);
    w.mnUndo->trigger();
    QVERIFY(checkOf(3) && !checkOf(3)->hasMaximum());
    QCOMPARE(ValueToText(checkOf(3)->minimum(), fldLong), std::optional<std::string>("12"));
    w.mnUndo->trigger();
    QVERIFY(!checkOf(3));
    QCOMPARE(w.History().UndoCount(), steps);
    w.FieldGrid->SelectRow(3);

    // "&Requerido" on a field without a check: a check of the flag only; off again, it goes.
    w.Document.ScriptChanged = false;
    w.CheckNewRequired->click();
    QVERIFY(checkOf(3) && checkOf(3)->required() && !checkOf(3)->hasMinimum());
    QVERIFY(w.Document.ScriptChanged);
    w.CheckNewRequired->click();
    QVERIFY(!checkOf(3));

    // A text that does not convert makes no check and is dropped when the field is left.
    QTest::keyClicks(w.EditNewMax, QStringLiteral("dez"));
    QVERIFY(!checkOf(3));
    QTest::keyClick(w.EditNewMax, Qt::Key_Return);
    QCOMPARE(w.EditNewMax->text(), QString());
    QVERIFY(!checkOf(3));

    // The only text of a check turned into one that does not convert: left, it is dropped and
    // the check, left empty, goes (nothing is written into it afterwards).
    QTest::keyClicks(w.EditNewMin, QStringLiteral("7"));
    QVERIFY(checkOf(3));
    w.EditNewMin->selectAll();
    QTest::keyClicks(w.EditNewMin, QStringLiteral("x"));
    QCOMPARE(ValueToText(checkOf(3)->minimum(), fldLong), std::optional<std::string>("7"));
    QTest::keyClick(w.EditNewMin, Qt::Key_Return);
    QCOMPARE(w.EditNewMin->text(), QString());
    QVERIFY(!checkOf(3));

    // Another field and back: the panel shows the check as stored; a BCD minimum keeps its
    // decimals.
    e.prompts->QueueFieldAnswer(Field("Valor", fldBcd, 2));
    w.FieldGrid->SelectRow(w.FieldGrid->RowCount() - 1);
    w.mnFieldAdd->trigger();
    w.FieldGrid->SelectRow(4);
    QTest::keyClicks(w.EditNewMin, QStringLiteral("1.25"));
    QTest::keyClicks(w.EditNewPicture, QStringLiteral("#.##"));
    QTest::keyClick(w.EditNewPicture, Qt::Key_Return);
    w.FieldGrid->SelectRow(1);
    QCOMPARE(w.EditNewMin->text(), QString());
    w.FieldGrid->SelectRow(4);
    QCOMPARE(w.EditNewMin->text(), QStringLiteral("1.25"));
    QCOMPARE(w.EditNewPicture->text(), QStringLiteral("#.##"));
    QVERIFY(!w.CheckNewRequired->isChecked());

    // The current table's panel: field A's check says required, field B has none.
    QVERIFY(e.SelectCurrent(QStringLiteral("C")));
    w.FieldsList->setCurrentItem(w.FieldsList->topLevelItem(1));
    QCOMPARE(w.PanelRequired->text(), QStringLiteral("REQUERIDO"));
    w.FieldsList->setCurrentItem(w.FieldsList->topLevelItem(2));
    QCOMPARE(w.PanelRequired->text(), QString());
    QCOMPARE(w.EditMin->text(), QString());
}

void FieldCommandsTest::controlsFollowTheSelectedTable()
{
    EditorWindow e("pd-joins", {"C"});
    e.AddTable("C", 2);
    TFormDBScript& w = e.w();
    std::vector<std::pair<std::string, std::unique_ptr<TvxTableDesc>>> empty;
    empty.emplace_back("VAZIA", std::make_unique<TvxTableDesc>());
    e.tables().ReplaceEntries(e.tables().Count(), 0, std::move(empty));
    // Each validation control is enabled exactly while the selected table has a field to act on.
    for (const char* name : {"C", "VAZIA", "C", "VAZIA"}) {
        e.SelectNew(QString::fromLatin1(name));
        const bool fields = e.selected().FieldCount() > 0;
        for (QWidget* control : {static_cast<QWidget*>(w.EditNewMin), static_cast<QWidget*>(w.EditNewMax),
                                 static_cast<QWidget*>(w.EditNewDefault), static_cast<QWidget*>(w.EditNewPicture),
                                 static_cast<QWidget*>(w.CheckNewRequired)})
            QVERIFY2(control->isEnabled() == fields, qPrintable(control->objectName() + QLatin1Char(' ') + name));
    }

    // A key field is deleted only after a question, which names it; Cancel keeps it.
    e.SelectNew(QStringLiteral("C"));
    w.FieldGrid->SelectRow(1);
    QVERIFY(e.selected().PrimaryKeyReaches(1));
    const int fields = e.selected().FieldCount();
    e.prompts->QueueMessageAnswer(TvxMsgResult::Cancel);
    w.mnFieldDelete->trigger();
    QCOMPARE(e.selected().FieldCount(), fields);
    QCOMPARE(e.Messages(), QStringList{TvxMessages::FormatMessage(
                               Text(10154), QString::fromStdString(e.selected().GetField(0)->name()))});
}

QTEST_MAIN(FieldCommandsTest)
#include "FieldCommandsTest.moc"
