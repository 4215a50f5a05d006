// Index editing through the real window on copies of sample tables: the naming rule as fields,
// properties and names change; the primary key's protection and the descriptor's refusals shown
// as messages; the current table's index display; what is enabled while nothing is selected.

#include "editor/TvxDocumentState.h"
#include "editor/TvxIndexCommands.h"
#include "editor/vxApplication.h"
#include "model/vxFieldTypes.h"
#include "views/cpFieldGrid.h"

#include <QApplication>
#include <QCheckBox>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QToolButton>
#include <QTreeWidget>

#include "EditorFixture.h"

using namespace morvane;
using test::EditorWindow;
using test::Text;

namespace {

QTreeWidgetItem* Entry(const EditorWindow& e, const QString& caption)
{
    QTreeWidget* list = e.w().NewIdxList;
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        if (list->topLevelItem(i)->text(0) == caption)
            return list->topLevelItem(i);
    return nullptr;
}

void SelectIndex(const EditorWindow& e, const QString& caption)
{
    QTreeWidgetItem* item = Entry(e, caption);
    QVERIFY2(item, qPrintable(caption));
    e.w().NewIdxList->setCurrentItem(item);
}

void Pick(QListWidget* list, const QString& text)
{
    const auto found = list->findItems(text, Qt::MatchExactly);
    QVERIFY2(!found.isEmpty(), qPrintable(text));
    list->setCurrentItem(found.first());
}

QStringList Texts(const QListWidget* list)
{
    QStringList texts;
    for (int i = 0; i < list->count(); ++i)
        texts << list->item(i)->text();
    return texts;
}

QStringList Captions(const QTreeWidget* list)
{
    QStringList texts;
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        texts << list->topLevelItem(i)->text(0);
    return texts;
}

std::vector<int> Keys(const TvxIndexDesc& index)
{
    std::vector<int> keys;
    for (int k = 0; k < index.keyFieldCount(); ++k)
        keys.push_back(index.keyField(k));
    return keys;
}

QCheckBox* Box(const TFormDBScript& w, const QString& name)
{
    return name == QLatin1String("Unique")  ? w.CheckNewUnique
           : name == QLatin1String("Maint") ? w.CheckNewMaint
           : name == QLatin1String("Desc")  ? w.CheckNewDesc
                                            : w.CheckNewCaseInsens;
}

// One step on the selected index: "field X" adds key field X, "drop X" removes it, "click B"
// clicks property box B, "name S" renames the index in place, "add" adds another index,
// "select S" selects the index of that caption.
void Step(const EditorWindow& e, const QString& step)
{
    const QString verb = step.section(QLatin1Char(' '), 0, 0);
    const QString arg = step.section(QLatin1Char(' '), 1);
    TFormDBScript& w = e.w();
    if (verb == QLatin1String("field")) {
        Pick(w.NewIdxFieldsList, arg);
        w.SpdBtnIdxAddField->click();
    } else if (verb == QLatin1String("drop")) {
        Pick(w.NewIdxFieldUsedList, arg);
        w.SpdBtnIdxDelField->click();
    } else if (verb == QLatin1String("click")) {
        Box(w, arg)->click();
    } else if (verb == QLatin1String("name")) {
        w.NewIdxList->currentItem()->setText(0, arg);
    } else if (verb == QLatin1String("add")) {
        w.SpdBtnIdxAdd->click();
    } else if (verb == QLatin1String("select")) {
        SelectIndex(e, arg);
    }
}

} // namespace

class IndexCommandsTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { vxInitApplication(*qobject_cast<QApplication*>(QCoreApplication::instance())); }
    void namingRule_data();
    void namingRule();
    void refusals_data();
    void refusals();
    void keyOrderAndPropertiesOfThePrimaryKey();
    void nothingActsOnNothing();
    void currentTableIndexes();
};

void IndexCommandsTest::namingRule_data()
{
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<std::vector<int>>("keys");
    QTest::addColumn<bool>("maintained");
    QTest::addColumn<QStringList>("messages");

    const QStringList none;
    // "two": ID1, ID2 (its primary key), Name. The new index is "NewIndex1".
    QTest::newRow("a plain field names the index")
        << QStringList{"field Name"} << "Name" << std::vector<int>{3} << false << none;
    QTest::newRow("unique renames it and keeps it maintained")
        << QStringList{"field Name", "click Unique"} << "NewIndex1" << std::vector<int>{3} << true << none;
    QTest::newRow("back to plain takes the field's name again")
        << QStringList{"field Name", "click Desc", "click Desc"} << "Name" << std::vector<int>{3} << false << none;
    QTest::newRow("two fields keep a generated name")
        << QStringList{"field ID2", "field Name"} << "NewIndex1" << std::vector<int>{2, 3} << false << none;
    QTest::newRow("the first field taken out leaves the other's name")
        << QStringList{"field ID2", "field Name", "drop ID2"} << "Name" << std::vector<int>{3} << false << none;
    QTest::newRow("a field's name makes the simple maintained index of it")
        << QStringList{"field ID2", "field Name", "click Unique", "name ID1"} << "ID1" << std::vector<int>{1} << true
        << none;
    QTest::newRow("its own name is refused")
        << QStringList{"name newindex1"} << "NewIndex1" << std::vector<int>{} << false << QStringList{Text(122)};
    QTest::newRow("the name of another index is refused")
        << QStringList{"add", "select NewIndex1", "name NEWINDEX2"} << "NewIndex1" << std::vector<int>{} << false << QStringList{Text(122)};
    QTest::newRow("another plain index of that field keeps its own name")
        << QStringList{"field Name", "add", "select NewIndex1", "field Name"} << "NewIndex1" << std::vector<int>{3}
        << false << none;
}

void IndexCommandsTest::namingRule()
{
    QFETCH(QStringList, steps);
    QFETCH(QString, caption);
    QFETCH(std::vector<int>, keys);
    QFETCH(bool, maintained);
    QFETCH(QStringList, messages);

    EditorWindow e("pd-joins", {"two"});
    e.AddTable("two");
    TFormDBScript& w = e.w();
    w.Document.ScriptChanged = false;
    w.SpdBtnIdxAdd->click();
    QCOMPARE(Captions(w.NewIdxList), (QStringList{"Primary", "NewIndex1"}));
    QVERIFY(w.Document.ScriptChanged);
    // The new index is selected, ready for its fields.
    QCOMPARE(w.NewIdxList->currentItem(), w.NewIdxList->topLevelItem(1));
    for (const QString& step : steps)
        Step(e, step);
    // The index selected at the end.
    const int pos = w.NewIdxList->indexOfTopLevelItem(w.NewIdxList->currentItem());
    QCOMPARE(w.NewIdxList->topLevelItem(pos)->text(0), caption);
    const TvxIndexDesc& index = *e.selected().GetIndex(pos);
    QCOMPARE(QString::fromStdString(index.name()), caption);
    QCOMPARE(Keys(index), keys);
    QCOMPARE(index.maintained(), maintained);
    QCOMPARE(e.Messages(), messages);
    QStringList names;
    for (int key : keys)
        names << QString::fromStdString(e.selected().GetField(key - 1)->name());
    QCOMPARE(Texts(w.NewIdxFieldUsedList), names);
    QCOMPARE(w.CheckNewMaint->isChecked(), maintained);
    // A unique secondary index stays maintained: the box cannot be cleared.
    QCOMPARE(w.CheckNewMaint->isEnabled(), !index.unique());
}

void IndexCommandsTest::refusals_data()
{
    QTest::addColumn<QStringList>("tables"); // added in this order; the last is edited
    QTest::addColumn<QString>("index");      // the index selected ("" for a new one)
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<int>("message");
    QTest::addColumn<QStringList>("captions");  // the index list afterwards
    QTest::addColumn<std::vector<int>>("keys"); // of the index afterwards

    // "C" (C, A, B) keeps its rules on "A" and "B", carried by its indexes "A" and "B".
    const QStringList abc{"A", "B", "C"};
    QTest::newRow("a primary key other tables rest on is not deleted (117)")
        << QStringList{"two", "fk4"} << "Primary@two" << QStringList{"delete"} << 117 << QStringList{"Primary"}
        << std::vector<int>{1, 2};
    QTest::newRow("nor are its fields taken out (117)")
        << QStringList{"two", "fk4"} << "Primary@two" << QStringList{"drop ID2"} << 117 << QStringList{"Primary"}
        << std::vector<int>{1, 2};
    QTest::newRow("a primary key's fields keep their order (116)")
        << QStringList{"two"} << "Primary" << QStringList{"up ID2"} << 116 << QStringList{"Primary"}
        << std::vector<int>{1, 2};
    QTest::newRow("a primary key of a table with rules stays (17)")
        << abc << "Primary" << QStringList{"delete"} << 17 << QStringList{"Primary", "A", "B"} << std::vector<int>{1};
    QTest::newRow("an index that carries a rule stays (16)")
        << abc << "A" << QStringList{"delete"} << 16 << QStringList{"Primary", "A", "B"} << std::vector<int>{2};
    QTest::newRow("nor is it renamed (16)")
        << abc << "B" << QStringList{"name Outro"} << 16 << QStringList{"Primary", "A", "B"} << std::vector<int>{3};
    QTest::newRow("a primary key takes fields in creation order (4)")
        << QStringList{"destination"} << "" << QStringList{"name PRIMARY", "field NAME"} << 4 << QStringList{"PRIMARY"}
        << std::vector<int>{};
    QTest::newRow("an index of other fields does not become the primary key (8)")
        << QStringList{"destination"} << "" << QStringList{"field NAME", "name primary"} << 8 << QStringList{"NAME"}
        << std::vector<int>{2};
    QTest::newRow("a blank name (11)") << QStringList{"destination"} << "" << QStringList{"name "} << 11
                                       << QStringList{"NewIndex1"} << std::vector<int>{};
    QTest::newRow("a name cut to the one it has (9)")
        << QStringList{"destination"} << "" << QStringList{"name " + QString(259, 'X'), "name " + QString(260, 'X')}
        << 9 << QStringList{QString(259, 'X')} << std::vector<int>{};
    QTest::newRow("a memo is no key field (7)") << QStringList{"destination"} << "" << QStringList{"memo", "field Obs"}
                                                << 7 << QStringList{"NewIndex1"} << std::vector<int>{};
    QTest::newRow("sixteen key fields at most (3)")
        << QStringList{"destination"} << "" << QStringList{"fields 15", "all", "field F15"} << 3
        << QStringList{"NewIndex1"} << std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
}

void IndexCommandsTest::refusals()
{
    QFETCH(QStringList, tables);
    QFETCH(QString, index);
    QFETCH(QStringList, steps);
    QFETCH(int, message);
    QFETCH(QStringList, captions);
    QFETCH(std::vector<int>, keys);

    EditorWindow e("pd-joins", tables);
    for (const QString& table : tables)
        e.AddTable(table);
    TFormDBScript& w = e.w();
    const QString edited = index.contains(QLatin1Char('@')) ? index.section(QLatin1Char('@'), 1) : tables.last();
    e.SelectNew(edited);
    const QString caption = index.section(QLatin1Char('@'), 0, 0);
    if (caption.isEmpty()) {
        w.SpdBtnIdxAdd->click();
        SelectIndex(e, QStringLiteral("NewIndex1"));
    } else {
        SelectIndex(e, caption);
    }
    const int pos = w.NewIdxList->indexOfTopLevelItem(w.NewIdxList->currentItem());
    e.ClearMessages();
    for (const QString& step : steps) {
        const QString arg = step.section(QLatin1Char(' '), 1);
        if (step == QLatin1String("delete")) {
            w.mnIdxDel->trigger();
        } else if (step.startsWith(QLatin1String("drop "))) {
            Pick(w.NewIdxFieldUsedList, arg);
            w.mnIdxDelField->trigger();
        } else if (step.startsWith(QLatin1String("up "))) {
            Pick(w.NewIdxFieldUsedList, arg);
            w.mnIdxMoveUp->trigger();
        } else if (step == QLatin1String("memo") || step.startsWith(QLatin1String("fields "))) {
            // Fields made through "&Campos" › "&Incluir" at the end of the table.
            const int count = step == QLatin1String("memo") ? 1 : arg.toInt();
            for (int i = 1; i <= count; ++i) {
                const bool memo = step == QLatin1String("memo");
                e.prompts->QueueFieldAnswer([memo, i](TvxFieldDesc& f, QString&) {
                    f.setName(memo ? std::string("Obs") : QStringLiteral("F%1").arg(i).toStdString());
                    f.setType(memo ? fldMemo : fldLong);
                    f.setUnits1(memo ? 10 : 0);
                    return true;
                });
                w.FieldGrid->SelectRow(w.FieldGrid->RowCount() - 1);
                w.mnFieldAdd->trigger();
            }
            SelectIndex(e, w.NewIdxList->topLevelItem(pos)->text(0));
        } else if (step == QLatin1String("all")) {
            while (w.NewIdxFieldsList->count() > 1) {
                w.NewIdxFieldsList->setCurrentRow(0);
                w.mnIdxAddField->trigger();
            }
            // The naming rule may have renamed the index meanwhile: the captions say.
            QCOMPARE(e.Messages(), QStringList());
        } else {
            Step(e, step);
        }
    }
    QCOMPARE(e.Messages().last(), Text(message));
    QCOMPARE(Captions(w.NewIdxList).mid(0, captions.size()), captions);
    QCOMPARE(Keys(*e.selected().GetIndex(pos)), keys);
}

void IndexCommandsTest::keyOrderAndPropertiesOfThePrimaryKey()
{
    EditorWindow e("pd-joins", {"fk4"});
    e.AddTable("fk4", 1);
    TFormDBScript& w = e.w();
    // A secondary index of two fields: the second moves up, the first cannot move further.
    w.SpdBtnIdxAdd->click();
    SelectIndex(e, QStringLiteral("NewIndex1"));
    for (const char* field : {"FK1", "B1"})
        Step(e, QStringLiteral("field ") + QLatin1String(field));
    Pick(w.NewIdxFieldUsedList, QStringLiteral("B1"));
    QVERIFY(w.SpdBtnIdxMoveUp->isEnabled());
    QVERIFY(!w.SpdBtnIdxMoveDown->isEnabled());
    w.Document.ScriptChanged = false;
    w.SpdBtnIdxMoveUp->click();
    QCOMPARE(Texts(w.NewIdxFieldUsedList), (QStringList{"B1", "FK1"}));
    QCOMPARE(w.NewIdxFieldUsedList->currentRow(), 0);
    QCOMPARE(Keys(*e.selected().GetIndex(2)), (std::vector<int>{3, 2}));
    QVERIFY(w.Document.ScriptChanged);
    QVERIFY(!w.SpdBtnIdxMoveUp->isEnabled());
    w.mnIdxMoveUp->trigger(); // the menu still asks: nothing moves
    QCOMPARE(Keys(*e.selected().GetIndex(2)), (std::vector<int>{3, 2}));
    QCOMPARE(e.Messages(), QStringList());

    // The primary key: its boxes flip back, its fields do not move.
    SelectIndex(e, QStringLiteral("Primary"));
    QVERIFY(w.CheckNewUnique->isChecked() && w.CheckNewMaint->isChecked());
    QVERIFY(!w.CheckNewCaseInsens->isEnabled() && !w.CheckNewDesc->isEnabled());
    QVERIFY(!w.SpdBtnIdxMoveUp->isEnabled() && !w.SpdBtnIdxMoveDown->isEnabled());
    w.CheckNewUnique->click();
    QVERIFY(w.CheckNewUnique->isChecked());
    QVERIFY(e.selected().GetIndex(0)->unique());
    w.CheckNewCaseInsens->setChecked(true);
    w.IndexCommands().CheckNewIdxPropertyClick(w.CheckNewCaseInsens);
    QVERIFY(!w.CheckNewCaseInsens->isChecked());
    QVERIFY(!e.selected().GetIndex(0)->caseInsensitive());
}

void IndexCommandsTest::nothingActsOnNothing()
{
    EditorWindow e("pd-joins", {"destination"});
    TFormDBScript& w = e.w();
    const auto enabled = [&w] {
        QList<bool> states;
        for (QWidget* c : std::initializer_list<QWidget*>{
                 w.SpdBtnIdxAdd, w.SpdBtnIdxDel, w.SpdBtnIdxAddField, w.SpdBtnIdxDelField, w.SpdBtnIdxMoveUp,
                 w.SpdBtnIdxMoveDown, w.CheckNewUnique, w.CheckNewMaint, w.CheckNewCaseInsens, w.CheckNewDesc})
            states << c->isEnabled();
        return states;
    };
    const bool F = false, T = true;
    // No new table: nothing, not even "+".
    QCOMPARE(enabled(), (QList<bool>{F, F, F, F, F, F, F, F, F, F}));
    w.mnIdxAdd->trigger();
    QCOMPARE(e.Messages(), QStringList{Text(102)});

    // A table without indexes: only "+".
    e.AddTable("destination");
    QCOMPARE(enabled(), (QList<bool>{T, F, F, F, F, F, F, F, F, F}));
    w.CheckNewUnique->click();
    QVERIFY(!w.CheckNewUnique->isChecked());
    // Reached all the same, the click unchecks the box and changes nothing.
    w.CheckNewUnique->setChecked(true);
    w.IndexCommands().CheckNewIdxPropertyClick(w.CheckNewUnique);
    QVERIFY(!w.CheckNewUnique->isChecked());
    QCOMPARE(e.selected().IndexCount(), 0);
    for (QAction* item : {w.mnIdxDel, w.mnIdxAddField, w.mnIdxDelField, w.mnIdxMoveDown})
        item->trigger();
    QCOMPARE(e.Messages(), (QStringList{Text(115), Text(115), Text(118), Text(118)}));

    // The new index selected: "-" and its boxes; the arrows once a field is chosen.
    w.SpdBtnIdxAdd->click();
    QCOMPARE(enabled(), (QList<bool>{T, T, F, F, F, F, T, T, T, T}));
    w.mnIdxAddField->trigger();
    QCOMPARE(e.Messages(), QStringList{Text(119)});
    Pick(w.NewIdxFieldsList, QStringLiteral("ID"));
    QVERIFY(w.SpdBtnIdxAddField->isEnabled());
    w.SpdBtnIdxAddField->click();
    // The next field is chosen at once.
    QCOMPARE(w.NewIdxFieldsList->currentItem()->text(), QStringLiteral("NAME"));
    Pick(w.NewIdxFieldUsedList, QStringLiteral("ID"));
    QCOMPARE(enabled(), (QList<bool>{T, T, T, T, F, F, T, T, T, T}));

    // Another table selected: the lists and the boxes are empty again.
    w.CheckNewDesc->click();
    e.tables().SelectIndex(-1);
    QCOMPARE(w.NewIdxList->topLevelItemCount(), 0);
    QCOMPARE(w.NewIdxFieldUsedList->count(), 0);
    QVERIFY(!w.CheckNewDesc->isChecked());
    QCOMPARE(enabled(), (QList<bool>{F, F, F, F, F, F, F, F, F, F}));
}

void IndexCommandsTest::currentTableIndexes()
{
    EditorWindow e("pd-joins", {"indexed", "fk4"});
    TFormDBScript& w = e.w();
    QVERIFY(e.SelectCurrent(QStringLiteral("indexed")));
    w.ListIndex->setCurrentItem(w.ListIndex->topLevelItem(0));
    QCOMPARE(w.MemoIdxProperty->toPlainText(), QStringLiteral("INSENSIVEL A MAISC\nDESCENDENTE"));
    QCOMPARE(Texts(w.ListIdxFields), QStringList{"Indexed"});
    QVERIFY(e.SelectCurrent(QStringLiteral("fk4")));
    QCOMPARE(w.ListIdxFields->count(), 0);
    w.ListIndex->setCurrentItem(w.ListIndex->topLevelItem(1));
    QCOMPARE(w.MemoIdxProperty->toPlainText(), QStringLiteral("MANTIDO\nSENSIVEL A MAISC\nASCENDENTE"));
    QCOMPARE(Texts(w.ListIdxFields), (QStringList{"FK1", "FK"}));
    w.ListIndex->setCurrentItem(w.ListIndex->topLevelItem(0));
    QCOMPARE(w.MemoIdxProperty->toPlainText(), QStringLiteral("UNICO\nMANTIDO\nSENSIVEL A MAISC\nASCENDENTE"));
}

QTEST_MAIN(IndexCommandsTest)
#include "IndexCommandsTest.moc"
