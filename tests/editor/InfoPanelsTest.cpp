// The information panels of both halves of the real main window, on the example database: what
// every panel, the protected state, the index and rule lists show for a selected table, and
// that nothing is left when none is; and how screen readers find them (names and values).

#include "editor/TvxTablePanels.h"
#include "views/cpComboBox.h"
#include "SourceWindow.h"

#include <QAccessible>
#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTreeWidget>

using namespace morvane;
using namespace morvane::test;

namespace {

// The fourteen panels in the order of the values below.
QList<QLineEdit*> Panels(const TvxInfoPanels& p)
{
    return {p.codePage,      p.tableType,          p.fieldCount, p.recordSize,     p.bufferSize,
            p.indexCount,    p.restructureVersion, p.tableLevel, p.languageDriver, p.valCheckCount,
            p.refIntCount,   p.blockSize,          p.date,       p.time};
}

QStringList Values(const TvxTableDesc& t)
{
    const auto n = [](int v) { return QString::number(v); };
    return {n(t.CodePage()),      QString::fromStdString(t.TableTypeName()), n(t.FieldCount()),
            n(t.RecordSize()),    n(t.RecordBufferSize()),                   n(t.IndexCount()),
            n(t.RestructureVersion()), n(t.TableLevel()), QString::fromStdString(t.LanguageDriver()),
            n(t.ValCheckCount()), n(t.RefIntCount()),                        n(t.BlockSize()),
            QString::fromStdString(t.TableDateText()), QString::fromStdString(t.TableTimeText())};
}

QStringList Texts(const QList<QLineEdit*>& panels)
{
    QStringList texts;
    for (QLineEdit* panel : panels)
        texts << panel->text();
    return texts;
}

QStringList Entries(const QTreeWidget* list)
{
    QStringList entries;
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        entries << list->topLevelItem(i)->text(0);
    return entries;
}

QStringList Entries(const QListWidget* list)
{
    QStringList entries;
    for (int i = 0; i < list->count(); ++i)
        entries << list->item(i)->text();
    return entries;
}

QString AccessibleText(QWidget* widget, QAccessible::Text which)
{
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(widget);
    return face ? face->text(which) : QStringLiteral("<none>");
}

} // namespace

class InfoPanelsTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { vxInitApplication(*qobject_cast<QApplication*>(QCoreApplication::instance())); }
    void currentTable_data();
    void currentTable();
    void nothingSelectedClearsTheUpperHalf();
    void newTable_data();
    void newTable();
    void screenReadersFindNamesAndValues();
};

void InfoPanelsTest::currentTable_data()
{
    QTest::addColumn<QString>("table");
    QTest::addColumn<QStringList>("indexes");
    QTest::addColumn<QStringList>("rules");
    QTest::newRow("CLIENTES") << "CLIENTES" << QStringList{"Primary", "PorNome"} << QStringList{"PedidoCliente"};
    QTest::newRow("PEDIDOS") << "PEDIDOS" << QStringList{"Primary", "Cliente", "PorData"}
                             << QStringList{"PedidoCliente"};
    QTest::newRow("PRODUTOS") << "PRODUTOS" << QStringList{"Primary"} << QStringList{"ItemProduto"};
    QTest::newRow("ITENS") << "ITENS" << QStringList{"Primary", "Produto"} << QStringList{"ItemProduto"};
}

void InfoPanelsTest::currentTable()
{
    QFETCH(QString, table);
    QFETCH(QStringList, indexes);
    QFETCH(QStringList, rules);
    SourceWindow s;
    TFormDBScript& w = s.w();
    s.Open();
    QVERIFY(s.SelectCurrent(table));
    const TvxTableDesc& desc = *w.DataSetList->SelectedTable();
    QCOMPARE(Texts(Panels(w.Info)), Values(desc));
    QCOMPARE(w.Info.tableType->text(), QStringLiteral("PARADOX"));
    QCOMPARE(w.Info.blockSize->text(), QString::number(desc.CursorProps().blockSizeKb() * 1024));
    QCOMPARE(w.PanelProtected->text(), QStringLiteral("NÃO PROTEGIDA"));
    QCOMPARE(w.EditSRI->text(), desc.StrictRefInt() ? QStringLiteral("SIM") : QStringLiteral("NÃO"));
    QCOMPARE(Entries(w.ListIndex), indexes);
    QCOMPARE(Entries(w.RefIntList), rules);
}

void InfoPanelsTest::nothingSelectedClearsTheUpperHalf()
{
    SourceWindow s;
    TFormDBScript& w = s.w();
    s.Open();
    QVERIFY(s.SelectCurrent(QStringLiteral("PEDIDOS")));
    w.EditRITable->setText(QStringLiteral("x"));
    w.EditRIType->setText(QStringLiteral("x"));
    w.EditUpdateRule->setText(QStringLiteral("x"));
    w.MemoIdxProperty->setPlainText(QStringLiteral("x"));
    w.DataSetList->SelectIndex(-1);
    QCOMPARE(Texts(Panels(w.Info)), QStringList(14, QString()));
    for (QLineEdit* edit : {w.PanelProtected, w.EditSRI, w.EditRITable, w.EditRIType, w.EditUpdateRule})
        QVERIFY2(edit->text().isEmpty(), qPrintable(edit->objectName()));
    QVERIFY(w.MemoIdxProperty->toPlainText().isEmpty());
    QCOMPARE(w.ListIndex->topLevelItemCount(), 0);
    QCOMPARE(w.RefIntList->topLevelItemCount(), 0);
    // Closing the source empties its list, and the panels with it.
    QVERIFY(s.SelectCurrent(QStringLiteral("PEDIDOS")));
    w.mnOpenDatabase->trigger();
    QCOMPARE(Texts(Panels(w.Info)), QStringList(14, QString()));
    QVERIFY(w.PanelProtected->text().isEmpty());
}

void InfoPanelsTest::newTable_data()
{
    QTest::addColumn<QString>("table");
    QTest::addColumn<QStringList>("indexes");
    QTest::addColumn<QStringList>("rules");   // only the dependent ones come along
    QTest::newRow("CLIENTES") << "CLIENTES" << QStringList{"Primary", "PorNome"} << QStringList{};
    QTest::newRow("PEDIDOS") << "PEDIDOS" << QStringList{"Primary", "Cliente", "PorData"}
                             << QStringList{"PedidoCliente"};
}

void InfoPanelsTest::newTable()
{
    QFETCH(QString, table);
    QFETCH(QStringList, indexes);
    QFETCH(QStringList, rules);
    SourceWindow s;
    TFormDBScript& w = s.w();
    s.Open();
    QVERIFY(s.SelectCurrent(QStringLiteral("CLIENTES")));
    s.prompts->QueueText(QStringLiteral("CLIENTES"));
    w.mnTableAdd->trigger();
    QVERIFY(s.SelectCurrent(table));
    s.prompts->QueueText(table + QStringLiteral("_NOVA"));
    w.mnTableAdd->trigger();
    QCOMPARE(s.prompts->Unanswered(), 0);
    // The added table is selected and shown; selecting another and back shows it again.
    for (const QString& pick : {table + QStringLiteral("_NOVA"), QStringLiteral("CLIENTES"),
                                table + QStringLiteral("_NOVA")}) {
        s.SelectNew(pick);
        const TvxTableDesc& desc = *s.newTables().SelectedTable();
        QCOMPARE(Texts(Panels(w.NewInfo)), Values(desc));
    }
    QCOMPARE(Entries(w.NewIdxList), indexes);
    QCOMPARE(Entries(w.NewRIntList), rules);
    QCOMPARE(w.pnNewProtected->text(), QStringLiteral("NÃO PROTEGIDA"));
    QVERIFY(!w.CheckNewSRI->isChecked());
    // The names of indexes and rules are edited in their lists.
    for (int i = 0; i < w.NewIdxList->topLevelItemCount(); ++i)
        QVERIFY(w.NewIdxList->topLevelItem(i)->flags() & Qt::ItemIsEditable);
    for (int i = 0; i < w.NewRIntList->count(); ++i)
        QVERIFY(w.NewRIntList->item(i)->flags() & Qt::ItemIsEditable);
    // The upper half still shows the current table.
    QCOMPARE(w.Info.fieldCount->text(), QString::number(w.DataSetList->SelectedTable()->FieldCount()));

    // A strict, protected table shows so once its panels are refreshed.
    TvxTableDesc& desc = *s.newTables().SelectedTable();
    desc.SetStrictRefInt(true);
    desc.SetProtected(true);
    w.TablePanels().RefreshNewTable();
    QVERIFY(w.CheckNewSRI->isChecked());
    QCOMPARE(w.pnNewProtected->text(), QStringLiteral("PROTEGIDA"));
}

void InfoPanelsTest::screenReadersFindNamesAndValues()
{
    SourceWindow s;
    TFormDBScript& w = s.w();
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    // Every list is named by its caption, the lists of fields by what they hold.
    const std::pair<QWidget*, QString> lists[] = {
        {w.ListIdxFields, vxLoadString(10161)},       {w.RIFieldList, vxLoadString(10162)},
        {w.RIParentFieldList, "Campo mestre"},        {w.NewIdxFieldsList, vxLoadString(10163)},
        {w.NewIdxFieldUsedList, vxLoadString(10164)}, {w.NewRIntList, "Nome"},
        {w.ListNewRIFields, vxLoadString(10165)},     {w.ComboTables, "Tabela mestre"}};
    for (const auto& [list, name] : lists)
        QCOMPARE(AccessibleText(list, QAccessible::Name), name);

    // The alias list keeps its name when an alias is chosen; its value is the alias.
    QCOMPARE(AccessibleText(w.ComboAlias, QAccessible::Name), QStringLiteral("Alias"));
    s.Open();
    QCOMPARE(AccessibleText(w.ComboAlias, QAccessible::Name), QStringLiteral("Alias"));
    QCOMPARE(AccessibleText(w.ComboAlias, QAccessible::Value), QStringLiteral("EXEMPLO"));

    // A panel is named by its caption and gives the value it shows.
    QVERIFY(s.SelectCurrent(QStringLiteral("PEDIDOS")));
    QCOMPARE(AccessibleText(w.Info.fieldCount, QAccessible::Name), QStringLiteral("Qtdade. campos"));
    QCOMPARE(AccessibleText(w.Info.fieldCount, QAccessible::Value), QStringLiteral("6"));
    QCOMPARE(AccessibleText(w.PanelProtected, QAccessible::Name), QStringLiteral("Proteção"));
    QCOMPARE(AccessibleText(w.PanelProtected, QAccessible::Value), QStringLiteral("NÃO PROTEGIDA"));
    for (QLineEdit* panel : Panels(w.NewInfo))
        QVERIFY2(!AccessibleText(panel, QAccessible::Name).isEmpty(), qPrintable(panel->objectName()));
}

QTEST_MAIN(InfoPanelsTest)
#include "InfoPanelsTest.moc"
