// Referential-integrity editing through the real window on copies of sample tables: a rule
// through its states against a master of two key fields (drawing, candidates, the rule's index
// made and taken away again), the refusals, names, the update rule, the current table's rules,
// and what is enabled while no rule is selected.

#include "editor/TvxDocumentState.h"
#include "editor/TvxRefIntCommands.h"
#include "editor/vxApplication.h"
#include "views/cpComboBox.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QScrollArea>
#include <QToolButton>
#include <QTreeWidget>

#include "EditorFixture.h"

using namespace morvane;
using test::EditorWindow;
using test::Text;

namespace {

QStringList Texts(const QListWidget* list)
{
    QStringList texts;
    for (int i = 0; i < list->count(); ++i)
        texts << list->item(i)->text();
    return texts;
}

QStringList IndexCaptions(const TFormDBScript& w)
{
    QStringList texts;
    for (int i = 0; i < w.NewIdxList->topLevelItemCount(); ++i)
        texts << w.NewIdxList->topLevelItem(i)->text(0);
    return texts;
}

QStringList Captions(const std::vector<TvxRefIntRelItem>& items)
{
    QStringList texts;
    for (const auto& item : items)
        texts << QString::fromStdString(item.caption);
    return texts;
}

// The labels the drawing shows: this side (right-justified), the master side, the connectors.
struct Drawing
{
    QStringList thisSide, masterSide, connectors;
};

Drawing Shown(const TFormDBScript& w)
{
    Drawing d;
    for (QLabel* label : w.ScrollNewFieldREL->widget()->findChildren<QLabel*>()) {
        if (label->text() == QLatin1String("<------>"))
            d.connectors << label->text();
        else if (label->alignment() & Qt::AlignRight)
            d.thisSide << label->text();
        else
            d.masterSide << label->text();
    }
    return d;
}

void Pick(QListWidget* list, const QString& text)
{
    const auto found = list->findItems(text, Qt::MatchExactly);
    QVERIFY2(!found.isEmpty(), qPrintable(text));
    list->setCurrentItem(found.first());
}

// Chooses the master as the drop-down list does when it closes.
void ChooseMaster(const TFormDBScript& w, const QString& table)
{
    const int entry = w.ComboTables->findText(table);
    QVERIFY2(entry >= 0, qPrintable(table));
    w.ComboTables->setCurrentIndex(entry);
    emit w.ComboTables->OnCloseUp(w.ComboTables);
}

} // namespace

class RefIntCommandsTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { vxInitApplication(*qobject_cast<QApplication*>(QCoreApplication::instance())); }
    void ruleThroughItsStates();
    void refusalsAndNames();
    void updateRuleAndStrictIntegrity();
    void nothingActsOnNothing();
    void currentTableRules();
};

void RefIntCommandsTest::ruleThroughItsStates()
{
    // "two": ID1, ID2 (both Long) its primary key, Name. "fk4": ID (its key), FK1, B1, FK, and
    // the index "reference" over FK1, FK.
    EditorWindow e("pd-joins", {"two", "fk4"});
    e.AddTable("two");
    e.AddTable("fk4");
    TFormDBScript& w = e.w();
    TvxTableDesc& fk4 = e.selected();
    QCOMPARE(Texts(w.NewRIntList), QStringList{"reference"});

    // 1. Named, no master: nothing offered, nothing drawn.
    w.Document.ScriptChanged = false;
    w.SpdBtnRIntAdd->click();
    QCOMPARE(Texts(w.NewRIntList), (QStringList{"reference", "NewRefInt1"}));
    QVERIFY(w.Document.ScriptChanged);
    QCOMPARE(w.NewRIntList->currentRow(), -1);
    w.NewRIntList->setCurrentRow(1);
    QCOMPARE(w.ComboTables->count(), 2);
    QCOMPARE(w.ComboTables->currentIndex(), -1);
    QCOMPARE(w.ListNewRIFields->count(), 0);
    QCOMPARE(Shown(w).masterSide, QStringList());
    QVERIFY(w.RadioNewRuleProhibit->isChecked());

    // 2. Master chosen: its two key fields drawn; the candidates match its first key field.
    ChooseMaster(w, QStringLiteral("two"));
    QCOMPARE(Shown(w).masterSide, (QStringList{"ID1", "ID2"}));
    QCOMPARE(Shown(w).thisSide, QStringList());
    QCOMPARE(Texts(w.ListNewRIFields), (QStringList{"ID", "FK1", "FK"}));
    QCOMPARE(fk4.GetRefInt(1)->fieldCount(), 2);
    QVERIFY(!w.SpdBtnRIntFieldDel->isEnabled());

    // 3. Partly filled: one pair drawn; the field chosen is offered no more.
    Pick(w.ListNewRIFields, QStringLiteral("FK"));
    w.SpdBtnRIntFieldAdd->click();
    const Drawing half = Shown(w);
    QCOMPARE(half.thisSide, QStringList{"FK"});
    QCOMPARE(half.connectors, QStringList{"<------>"});
    QCOMPARE(Captions(w.RefIntCommands().Relation().MasterLabels()), (QStringList{"ID1", "ID2"}));
    QCOMPARE(Texts(w.ListNewRIFields), (QStringList{"ID", "FK1"}));
    QCOMPARE(IndexCaptions(w), (QStringList{"Primary", "reference"}));

    // 4. Complete: FK then FK1 is no existing index's order, so the rule's own index is made.
    Pick(w.ListNewRIFields, QStringLiteral("FK1"));
    w.SpdBtnRIntFieldAdd->click();
    QCOMPARE(Shown(w).thisSide, (QStringList{"FK", "FK1"}));
    QCOMPARE(Shown(w).connectors.size(), 2);
    QCOMPARE(w.ListNewRIFields->count(), 0);
    QCOMPARE(IndexCaptions(w), (QStringList{"Primary", "reference", "NewRefInt1"}));
    const TvxIndexDesc& made = *fk4.GetIndex(2);
    QCOMPARE((std::vector<int>{made.keyField(0), made.keyField(1)}), (std::vector<int>{4, 2}));
    QVERIFY(made.maintained());
    QVERIFY(fk4.AllRefIntsComplete());

    // Renaming the complete rule renames its index.
    w.NewRIntList->item(1)->setText(QStringLiteral("Itens"));
    QCOMPARE(IndexCaptions(w), (QStringList{"Primary", "reference", "Itens"}));

    // Back to 3: the last field goes and the index with it.
    w.SpdBtnRIntFieldDel->click();
    QCOMPARE(Shown(w).thisSide, QStringList{"FK"});
    QCOMPARE(Shown(w).connectors.size(), 1);
    QCOMPARE(IndexCaptions(w), (QStringList{"Primary", "reference"}));
    QCOMPARE(Texts(w.ListNewRIFields), (QStringList{"ID", "FK1"}));

    // Another rule and back: the drawing shows what the rule holds.
    w.NewRIntList->setCurrentRow(0);
    QCOMPARE(Shown(w).thisSide, (QStringList{"FK1", "FK"}));
    w.NewRIntList->setCurrentRow(1);
    QCOMPARE(Shown(w).thisSide, QStringList{"FK"});
    QCOMPARE(w.ComboTables->currentText(), QStringLiteral("two"));

    // The same master chosen again keeps the field; another master starts again from none.
    ChooseMaster(w, QStringLiteral("two"));
    QCOMPARE(Shown(w).thisSide, QStringList{"FK"});
    ChooseMaster(w, QStringLiteral("fk4"));
    QCOMPARE(Shown(w).thisSide, QStringList());
    QCOMPARE(Shown(w).masterSide, QStringList{"ID"});
    QCOMPARE(Texts(w.ListNewRIFields), (QStringList{"ID", "FK1", "FK"}));
    QCOMPARE(e.Messages(), QStringList());

    // Deleting the rule keeps the index of the other rule and every index it had.
    w.SpdBtnRIntDel->click();
    QCOMPARE(Texts(w.NewRIntList), QStringList{"reference"});
    QCOMPARE(fk4.RefIntCount(), 1);
    QCOMPARE(IndexCaptions(w), (QStringList{"Primary", "reference"}));
}

void RefIntCommandsTest::refusalsAndNames()
{
    EditorWindow e("pd-joins", {"two", "fk4", "case"});
    e.AddTable("case");
    e.AddTable("two");
    e.AddTable("fk4");
    TFormDBScript& w = e.w();

    // A rule needs this table's primary key (17), and a master with one (13).
    e.SelectNew(QStringLiteral("case"));
    w.mnRIntAdd->trigger();
    QCOMPARE(e.Messages(), QStringList{Text(17)});
    QCOMPARE(w.NewRIntList->count(), 0);
    e.SelectNew(QStringLiteral("fk4"));
    w.mnRIntAdd->trigger();
    w.mnRIntAdd->trigger();
    QCOMPARE(Texts(w.NewRIntList), (QStringList{"reference", "NewRefInt1", "NewRefInt2"}));
    w.NewRIntList->setCurrentRow(1);
    ChooseMaster(w, QStringLiteral("case"));
    QCOMPARE(e.Messages(), QStringList{Text(13)});
    QCOMPARE(w.ComboTables->currentIndex(), -1);
    QCOMPARE(e.selected().GetRefInt(1)->fieldCount(), 0);

    // Names in use by another rule, in any letter case (111), or blank: the caption comes back.
    w.Document.ScriptChanged = false;
    for (const char* taken : {"newrefint2", "REFERENCE", ""}) {
        w.NewRIntList->item(1)->setText(QLatin1String(taken));
        QCOMPARE(w.NewRIntList->item(1)->text(), QStringLiteral("NewRefInt1"));
    }
    QCOMPARE(e.Messages(), (QStringList{Text(111), Text(111)}));
    QVERIFY(!w.Document.ScriptChanged);
    w.NewRIntList->item(1)->setText(QStringLiteral("Pedidos"));
    QCOMPARE(QString::fromStdString(e.selected().GetRefInt(1)->name()), QStringLiteral("Pedidos"));
    QVERIFY(w.Document.ScriptChanged);

    // Commands without what they act on.
    w.NewRIntList->setCurrentRow(-1);
    for (QAction* item : {w.mnRIntDel, w.mnRIntAddField, w.mnRIntDelField})
        item->trigger();
    QCOMPARE(e.Messages(), (QStringList{Text(120), Text(121), Text(120)}));

    // The master's key is fixed while another table's rule rests on it (117 from the index tab).
    e.SelectNew(QStringLiteral("two"));
    w.NewIdxList->setCurrentItem(w.NewIdxList->topLevelItem(0));
    w.mnIdxDel->trigger();
    QCOMPARE(e.Messages(), QStringList{Text(117)});
}

void RefIntCommandsTest::updateRuleAndStrictIntegrity()
{
    EditorWindow e("pd-joins", {"two", "fk4"});
    e.AddTable("two");
    e.AddTable("fk4");
    TFormDBScript& w = e.w();
    w.SpdBtnRIntAdd->click();
    w.NewRIntList->setCurrentRow(1);
    QVERIFY(w.RadioNewRuleProhibit->isChecked());
    w.RadioNewRuleCascade->click();
    QCOMPARE(e.selected().GetRefInt(1)->updateRule(), int(TvxRefIntDesc::Cascade));
    QCOMPARE(e.selected().GetRefInt(1)->deleteRule(), int(TvxRefIntDesc::Prohibit));
    // The rule read from the source cascades; made to prohibit, it keeps that too.
    w.NewRIntList->setCurrentRow(0);
    QVERIFY(w.RadioNewRuleCascade->isChecked());
    w.RadioNewRuleProhibit->click();
    QCOMPARE(e.selected().GetRefInt(0)->updateRule(), int(TvxRefIntDesc::Prohibit));
    w.NewRIntList->setCurrentRow(1);
    QVERIFY(w.RadioNewRuleCascade->isChecked());
    w.NewRIntList->setCurrentRow(0);
    QVERIFY(w.RadioNewRuleProhibit->isChecked());

    QVERIFY(!w.CheckNewSRI->isChecked());
    w.Document.ScriptChanged = false;
    w.CheckNewSRI->click();
    QVERIFY(e.selected().StrictRefInt());
    QVERIFY(w.Document.ScriptChanged);
    e.tables().SelectIndex(-1);
    w.CheckNewSRI->setChecked(true);
    w.RefIntCommands().CheckNewSRIClick();
    QVERIFY(!w.CheckNewSRI->isChecked());
}

void RefIntCommandsTest::nothingActsOnNothing()
{
    EditorWindow e("pd-joins", {"two"});
    TFormDBScript& w = e.w();
    const auto enabled = [&w] {
        QList<bool> states;
        for (QWidget* c : std::initializer_list<QWidget*>{w.SpdBtnRIntAdd, w.SpdBtnRIntDel, w.SpdBtnRIntFieldAdd,
                                                          w.SpdBtnRIntFieldDel, w.ComboTables, w.RadioNewRuleCascade,
                                                          w.RadioNewRuleProhibit})
            states << c->isEnabled();
        return states;
    };
    const bool F = false, T = true;
    QCOMPARE(enabled(), (QList<bool>{F, F, F, F, F, F, F}));
    e.AddTable("two");
    QCOMPARE(enabled(), (QList<bool>{T, F, F, F, F, F, F}));
    // "&Cascata" reached without a rule shows no choice and stores nothing.
    w.RadioNewRuleCascade->setChecked(true);
    w.RefIntCommands().GroupNewRuleClick();
    QVERIFY(!w.RadioNewRuleCascade->isChecked() && !w.RadioNewRuleProhibit->isChecked());
    QCOMPARE(e.selected().RefIntCount(), 0);

    w.SpdBtnRIntAdd->click();
    QCOMPARE(enabled(), (QList<bool>{T, F, F, F, F, F, F}));
    w.NewRIntList->setCurrentRow(0);
    QCOMPARE(enabled(), (QList<bool>{T, T, F, F, T, T, T}));
    ChooseMaster(w, QStringLiteral("two"));
    Pick(w.ListNewRIFields, QStringLiteral("ID1"));
    QCOMPARE(enabled(), (QList<bool>{T, T, T, F, T, T, T}));
    w.SpdBtnRIntFieldAdd->click();
    QCOMPARE(enabled(), (QList<bool>{T, T, F, T, T, T, T}));
}

void RefIntCommandsTest::currentTableRules()
{
    EditorWindow e("pd-joins", {"fk4", "two", "A", "C"});
    TFormDBScript& w = e.w();
    QVERIFY(e.SelectCurrent(QStringLiteral("fk4")));
    w.RefIntList->setCurrentItem(w.RefIntList->topLevelItem(0));
    QCOMPARE(w.EditRITable->text().toLower(), QStringLiteral("two.db"));
    QCOMPARE(Texts(w.RIFieldList), (QStringList{"FK1", "FK"}));
    QCOMPARE(Texts(w.RIParentFieldList), (QStringList{"ID1", "ID2"}));
    QCOMPARE(w.EditRIType->text(), QStringLiteral("DEPENDENTE"));
    QCOMPARE(w.EditUpdateRule->text(), QStringLiteral("CASCATA"));
    // A master-side rule.
    QVERIFY(e.SelectCurrent(QStringLiteral("A")));
    QCOMPARE(w.RIFieldList->count(), 0);
    w.RefIntList->setCurrentItem(w.RefIntList->topLevelItem(0));
    QCOMPARE(w.EditRIType->text(), QStringLiteral("MESTRE"));
    QCOMPARE(Texts(w.RIFieldList), QStringList{"A"});
    QCOMPARE(Texts(w.RIParentFieldList), QStringList{"A"});
}

QTEST_MAIN(RefIntCommandsTest)
#include "RefIntCommandsTest.moc"
