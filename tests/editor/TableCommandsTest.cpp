// The "&Tabela" commands of the real main window on the example database and copies of sample
// tables: the refusals, the commands each accepted edit leaves in the script, the questions
// asked, and the rule clean-ups (a master added under another name, a missing master, a master
// renamed or deleted).

#include "editor/TvxTableCommands.h"
#include "script/vxScriptLimits.h"
#include "views/cpScriptTableListView.h"
#include "support/SamplePath.h"
#include "SourceWindow.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QPushButton>
#include <QLineEdit>
#include <QListWidget>
#include <QTreeWidget>

using namespace morvane;
using namespace morvane::test;

namespace {

// Question 109 about a missing master, with the line that says what OK and Cancel do.
QString MasterMissing(const QString& master)
{
    return Shown(109, master) + QLatin1Char('\n') + vxLoadString(10151).arg(master);
}

// Rules of a new table as "name -> master file".
QStringList Rules(const TvxTableDesc* table)
{
    QStringList rules;
    for (int i = 0; table && i < table->RefIntCount(); ++i)
        rules << QString::fromStdString(table->GetRefInt(i)->name() + " -> " + table->GetRefInt(i)->otherTable());
    return rules;
}

// Runs one step on the window: "open", "close", "path" (the example's directory as source),
// "target" (the example's directory as target),
// "select NAME" (a current table), "new NAME", "change NAME" (of the selected new table),
// "add SOURCE [NAME]", "delete NAME", "pick NAME" (a new table).
void Run(const SourceWindow& s, const QString& step)
{
    TFormDBScript& w = s.w();
    const QStringList words = step.split(QLatin1Char(' '));
    const QString& verb = words[0];
    if (verb == QLatin1String("open")) {
        s.Open();
    } else if (verb == QLatin1String("close")) {
        w.mnOpenDatabase->trigger();
    } else if (verb == QLatin1String("path")) {
        s.prompts->QueueText(ExampleDir());
        w.mnAliasAddPath->trigger();
    } else if (verb == QLatin1String("target")) {
        s.prompts->QueueText(ExampleDir());
        w.BtnPathNew->click();
    } else if (verb == QLatin1String("select")) {
        QVERIFY2(s.SelectCurrent(words[1]), qPrintable(step));
    } else if (verb == QLatin1String("new")) {
        s.prompts->QueueText(words[1]);
        w.mnTableNew->trigger();
    } else if (verb == QLatin1String("change")) {
        s.prompts->QueueText(step.section(QLatin1Char(' '), 1));
        w.mnTableChange->trigger();
    } else if (verb == QLatin1String("add")) {
        QVERIFY2(s.SelectCurrent(words[1]), qPrintable(step));
        s.prompts->QueueText(words.value(2, words[1]));
        w.mnTableAdd->trigger();
    } else if (verb == QLatin1String("delete")) {
        s.SelectNew(words[1]);
        w.mnTableDelete->trigger();
    } else if (verb == QLatin1String("pick")) {
        s.SelectNew(words[1]);
    } else {
        QFAIL(qPrintable(step));
    }
}

} // namespace

class TableCommandsTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { vxInitApplication(*qobject_cast<QApplication*>(QCoreApplication::instance())); }
    void refusals_data();
    void refusals();
    void accepted_data();
    void accepted();
    void questionsAsked();
    void scriptAtItsLimitsIsRefused();
    void namesNoFileCanHoldAreRefused();
    void addRepointsMastersAddedUnderAnotherName();
    void addAsksAboutMissingMasters();
    void addKeepsRepointableRulesBesideMissingMasters();
    void renameKeepsTheRulesOnTheRenamedTable();
    void deleteDropsTheRulesOnTheDeletedTable();
};

void TableCommandsTest::refusals_data()
{
    QTest::addColumn<QStringList>("setup");
    QTest::addColumn<QString>("command");
    QTest::addColumn<int>("message");
    QTest::newRow("new without any alias") << QStringList{} << "mnTableNew" << 108;
    QTest::newRow("change without new table") << QStringList{"path"} << "mnTableChange" << 102;
    QTest::newRow("delete without new table") << QStringList{"path"} << "mnTableDelete" << 102;
    QTest::newRow("change after the last was deleted")
        << QStringList{"path", "new A", "delete A"} << "mnTableChange" << 102;
    QTest::newRow("add without open database") << QStringList{"path"} << "mnTableAdd" << 110;
    QTest::newRow("add after closing, a table selected before")
        << QStringList{"open", "select CLIENTES", "close"} << "mnTableAdd" << 110;
    QTest::newRow("add without selected table") << QStringList{"open"} << "mnTableAdd" << 101;
    QTest::newRow("password without new table") << QStringList{"open"} << "SpdBtnPW" << 101;
    QTest::newRow("open without source") << QStringList{} << "mnOpenDatabase" << 107;
    QTest::newRow("open with a target alone") << QStringList{"target"} << "mnOpenDatabase" << 107;
}

void TableCommandsTest::refusals()
{
    QFETCH(QStringList, setup);
    QFETCH(QString, command);
    QFETCH(int, message);
    SourceWindow s;
    TFormDBScript& w = s.w();
    for (const QString& step : setup)
        Run(s, step);
    const QStringList commands = s.Commands();
    const QStringList tables = s.NewTableNames();
    w.Document.ScriptChanged = false;
    s.Asked();
    if (auto* action = w.findChild<QAction*>(command))
        action->trigger();
    else
        w.findChild<QAbstractButton*>(command)->click();
    QCOMPARE(s.Asked(), QStringList{Shown(message)});
    QCOMPARE(s.Commands(), commands);
    QCOMPARE(s.NewTableNames(), tables);
    QVERIFY(!w.Document.ScriptChanged);
}

void TableCommandsTest::accepted_data()
{
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QStringList>("commands");   // after the source's
    QTest::addColumn<QStringList>("tables");
    QTest::addColumn<QString>("selected");
    QTest::newRow("new") << QStringList{"new NOVA"} << QStringList{"Create table ->  NOVA"} << QStringList{"NOVA"}
                         << "NOVA";
    QTest::newRow("new after a target alone") << QStringList{"new NOVA"} << QStringList{"Create table ->  NOVA"}
                                              << QStringList{"NOVA"} << "NOVA";
    QTest::newRow("new twice, one table, the second refused") << QStringList{"new NOVA", "new NOVA"}
                                          << QStringList{"Create table ->  NOVA"} << QStringList{"NOVA"} << "NOVA";
    QTest::newRow("blanks around a name go") << QStringList{"new NOVA", "change  OUTRA "}
                                             << QStringList{"Create table ->  OUTRA"} << QStringList{"OUTRA"}
                                             << "OUTRA";
    QTest::newRow("change") << QStringList{"new NOVA", "new OUTRA", "pick NOVA", "change RENOMEADA"}
                            << QStringList{"Create table ->  RENOMEADA", "Create table ->  OUTRA"}
                            << QStringList{"RENOMEADA", "OUTRA"} << "RENOMEADA";
    QTest::newRow("change to a name in use is refused")
        << QStringList{"new NOVA", "new OUTRA", "change NOVA"}
        << QStringList{"Create table ->  NOVA", "Create table ->  OUTRA"} << QStringList{"NOVA", "OUTRA"} << "OUTRA";
    QTest::newRow("add") << QStringList{"add CLIENTES"} << QStringList{"Add table ->  CLIENTES CLIENTES"}
                         << QStringList{"CLIENTES"} << "CLIENTES";
    QTest::newRow("add under another name") << QStringList{"add PRODUTOS ARTIGOS"}
                                            << QStringList{"Add table ->  ARTIGOS PRODUTOS"}
                                            << QStringList{"ARTIGOS"} << "ARTIGOS";
    QTest::newRow("add, then rename") << QStringList{"add CLIENTES", "change FREGUESES"}
                                      << QStringList{"Add table ->  FREGUESES CLIENTES"} << QStringList{"FREGUESES"}
                                      << "FREGUESES";
    QTest::newRow("delete") << QStringList{"new NOVA", "add CLIENTES", "delete NOVA"}
                            << QStringList{"Add table ->  CLIENTES CLIENTES"} << QStringList{"CLIENTES"}
                            << "CLIENTES";
    QTest::newRow("delete the last") << QStringList{"new NOVA", "delete NOVA"} << QStringList{} << QStringList{}
                                     << "";
}

void TableCommandsTest::accepted()
{
    QFETCH(QStringList, steps);
    QFETCH(QStringList, commands);
    QFETCH(QStringList, tables);
    QFETCH(QString, selected);
    SourceWindow s;
    TFormDBScript& w = s.w();
    Run(s, QString(QTest::currentDataTag()).contains(QLatin1String("target")) ? QStringLiteral("target")
                                                                             : QStringLiteral("open"));
    const QStringList before = s.Commands();
    w.Document.ScriptChanged = false;
    int refusals = 0;
    for (const QString& step : steps) {
        Run(s, step);
        for (const TvxPromptCall& call : s.prompts->Calls())
            refusals += call.what == QLatin1String("Message") ? 1 : 0;
        s.Asked();
    }
    QCOMPARE(s.prompts->Unanswered(), 0);
    const bool refused = QString(QTest::currentDataTag()).contains(QLatin1String("refused"));
    QCOMPARE(refusals, refused ? 1 : 0);
    QCOMPARE(s.Commands().mid(before.size()), commands);
    QCOMPARE(s.NewTableNames(), tables);
    QCOMPARE(QString::fromStdString(s.newTables().SelectedName()), selected);
    if (!selected.isEmpty())
        QCOMPARE(QString::fromStdString(s.newTables().SelectedTable()->TableName()), selected);
    QCOMPARE(w.Document.ScriptChanged, !tables.isEmpty() || steps.size() > 1);
    // The lower panels show the selected table (or nothing).
    QCOMPARE(w.NewInfo.tableType->text(), selected.isEmpty() ? QString() : QStringLiteral("PARADOX"));
    QCOMPARE(w.pnNewProtected->text(), selected.isEmpty() ? QString() : vxLoadString(10011));
}

void TableCommandsTest::questionsAsked()
{
    SourceWindow s;
    TFormDBScript& w = s.w();
    s.Open();
    s.Asked();
    struct Expected
    {
        QString command;
        QString proposed;
        bool english;
    };
    Run(s, QStringLiteral("new NOVA"));
    Run(s, QStringLiteral("change OUTRA"));
    s.prompts->QueueMessageAnswer(TvxMsgResult::Ok);
    Run(s, QStringLiteral("add PEDIDOS"));
    QCOMPARE(s.prompts->Unanswered(), 0);
    const Expected expected[] = {{"new", "", false}, {"change", "NOVA", false}, {"add", "PEDIDOS", true}};
    QCOMPARE(s.prompts->Calls().size(), std::size(expected) + 1);   // and 109 about CLIENTES
    int i = 0;
    for (const TvxPromptCall& call : s.prompts->Calls()) {
        if (call.what == QLatin1String("Message")) {
            QCOMPARE(call.text, MasterMissing(QStringLiteral("CLIENTES")).mid(9));
            QCOMPARE(call.buttons, TvxMsgButtons::OkCancel);
            continue;
        }
        QCOMPARE(call.what, QStringLiteral("EnterName"));
        QCOMPARE(call.caption, QStringLiteral("Ler nome da tabela"));
        QCOMPARE(call.text, QStringLiteral("&Nome da tabela"));
        QCOMPARE(call.extra.value(0), expected[i].proposed);
        QCOMPARE(call.flag, expected[i].english);
        ++i;
    }
    // Cancelled, or no name given: nothing happens, nothing is marked changed.
    Run(s, QStringLiteral("select CLIENTES"));
    s.Asked();
    w.Document.ScriptChanged = false;
    const QStringList commands = s.Commands();
    for (QAction* action : {w.mnTableNew, w.mnTableChange, w.mnTableAdd}) {
        s.prompts->QueueText(std::nullopt);
        s.prompts->QueueText(QStringLiteral("   "));
        action->trigger();
        action->trigger();
    }
    QCOMPARE(s.Commands(), commands);
    QVERIFY(!w.Document.ScriptChanged);
    QCOMPARE(s.prompts->Unanswered(), 0);
}

void TableCommandsTest::scriptAtItsLimitsIsRefused()
{
    SourceWindow s;
    TFormDBScript& w = s.w();
    Run(s, QStringLiteral("path"));
    // A new structure that already holds as many tables as a script can (filled while the list
    // box looks away, which would follow each one).
    auto& script = w.StructScript();
    w.ScriptTableListView->SetTables(nullptr);
    for (int i = 0; i < MaxScriptTables; ++i) {
        std::string name = std::to_string(i);
        name.insert(name.begin(), 'T');
        auto table = std::make_unique<TvxCommand>(ckCreateTable, std::initializer_list<TvxValue>{name});
        QCOMPARE(script.AddCommand(table), 0);
    }
    w.ScriptTableListView->SetTables(&s.newTables());
    s.Asked();
    Run(s, QStringLiteral("new NOVA"));
    QCOMPARE(s.Asked(), (QStringList{"EnterName: &Nome da tabela", Shown(125)}));
    QCOMPARE(s.newTables().Count(), MaxScriptTables);
    QCOMPARE(s.newTables().IndexOfName("NOVA"), -1);
}

void TableCommandsTest::namesNoFileCanHoldAreRefused()
{
    SourceWindow s;
    Run(s, QStringLiteral("path"));
    const int before = s.newTables().Count();
    s.Asked();
    Run(s, QStringLiteral("new Tab/ela*?:\u00E7"));
    QCOMPARE(s.Asked(), (QStringList{"EnterName: &Nome da tabela",
                                     QStringLiteral("Message: O nome de tabela n\u00E3o \u00E9 permitido: "
                                                    "Tab/ela*?:\u00E7: o nome cont\u00E9m / ou \\")}));
    QCOMPARE(s.newTables().Count(), before);
}

void TableCommandsTest::addRepointsMastersAddedUnderAnotherName()
{
    SourceWindow s;
    s.Open();
    Run(s, QStringLiteral("add CLIENTES FREGUESES"));
    s.Asked();
    Run(s, QStringLiteral("add PEDIDOS"));
    QCOMPARE(s.Asked(), QStringList{"EnterName: &Nome da tabela"});
    QCOMPARE(Rules(s.NewTable(QStringLiteral("PEDIDOS"))), QStringList{"PedidoCliente -> FREGUESES.DB"});
    // The source keeps its own rule.
    QCOMPARE(QString::fromStdString(s.w().DataSetList->TableByName("PEDIDOS")->GetRefInt(0)->otherTable()),
             QStringLiteral("CLIENTES.DB"));
    QCOMPARE(s.w().NewRIntList->count(), 1);
}

void TableCommandsTest::addAsksAboutMissingMasters()
{
    SourceWindow s;
    TFormDBScript& w = s.w();
    s.Open();
    s.Asked();
    w.Document.ScriptChanged = false;

    // Cancel: nothing is added, the name is not even asked.
    s.prompts->QueueMessageAnswer(TvxMsgResult::Cancel);
    Run(s, QStringLiteral("add ITENS"));
    QCOMPARE(s.Asked(), QStringList{MasterMissing(QStringLiteral("PRODUTOS"))});
    QVERIFY(s.NewTableNames().isEmpty());
    QCOMPARE(s.Commands().size(), 1);
    QVERIFY(!w.Document.ScriptChanged);

    // OK: the table comes without the rule on the missing master.
    SourceWindow t;
    t.Open();
    t.Asked();
    t.prompts->QueueMessageAnswer(TvxMsgResult::Ok);
    Run(t, QStringLiteral("add ITENS"));
    QCOMPARE(t.Asked(), (QStringList{MasterMissing(QStringLiteral("PRODUTOS")), "EnterName: &Nome da tabela"}));
    QCOMPARE(t.NewTableNames(), QStringList{"ITENS"});
    QVERIFY(Rules(t.NewTable(QStringLiteral("ITENS"))).isEmpty());
    QCOMPARE(t.w().NewRIntList->count(), 0);
    QCOMPARE(t.w().NewInfo.refIntCount->text(), QStringLiteral("0"));
    // Added after its master, a table keeps its rule without a question.
    Run(t, QStringLiteral("add PRODUTOS"));
    Run(t, QStringLiteral("add ITENS ITENS2"));
    QCOMPARE(t.Asked(), (QStringList{"EnterName: &Nome da tabela", "EnterName: &Nome da tabela"}));
    QCOMPARE(Rules(t.NewTable(QStringLiteral("ITENS2"))), QStringList{"ItemProduto -> PRODUTOS.DB"});
}

void TableCommandsTest::addKeepsRepointableRulesBesideMissingMasters()
{
    // C depends on A (its first rule) and on B; B is added under another name, A is missing.
    SourceWindow s({"pd-joins/A.db", "pd-joins/A.PX", "pd-joins/A.VAL", "pd-joins/B.db", "pd-joins/B.PX",
                    "pd-joins/B.VAL", "pd-joins/C.DB", "pd-joins/C.PX", "pd-joins/C.VAL", "pd-joins/C.X02",
                    "pd-joins/C.Y02", "pd-joins/C.X03", "pd-joins/C.Y03"});
    s.Open(QStringLiteral("AMOSTRA"));
    Run(s, QStringLiteral("add B BB"));
    s.Asked();
    s.prompts->QueueMessageAnswer(TvxMsgResult::Ok);
    Run(s, QStringLiteral("add C"));
    QCOMPARE(s.Asked(), (QStringList{MasterMissing(QStringLiteral("A")), "EnterName: &Nome da tabela"}));
    QCOMPARE(Rules(s.NewTable(QStringLiteral("C"))), QStringList{"Reference B -> BB.db"});
}

void TableCommandsTest::renameKeepsTheRulesOnTheRenamedTable()
{
    SourceWindow s;
    TFormDBScript& w = s.w();
    s.Open();
    for (const char* step : {"add CLIENTES", "add PEDIDOS", "add PRODUTOS", "add ITENS", "pick CLIENTES"})
        Run(s, QString::fromLatin1(step));
    s.Asked();
    Run(s, QStringLiteral("change Fregueses"));
    QVERIFY(s.Asked() == QStringList{"EnterName: &Nome da tabela"});
    QCOMPARE(s.NewTableNames(), (QStringList{"Fregueses", "PEDIDOS", "PRODUTOS", "ITENS"}));
    // Pointed at the new name, with the old file extension; the other rule is untouched.
    QCOMPARE(Rules(s.NewTable(QStringLiteral("PEDIDOS"))), QStringList{"PedidoCliente -> Fregueses.DB"});
    QCOMPARE(Rules(s.NewTable(QStringLiteral("ITENS"))), QStringList{"ItemProduto -> PRODUTOS.DB"});
    QCOMPARE(QString::fromStdString(s.NewTable(QStringLiteral("Fregueses"))->TableName()),
             QStringLiteral("Fregueses"));
    // A letter-case change alone keeps them as well.
    Run(s, QStringLiteral("change FREGUESES"));
    QCOMPARE(Rules(s.NewTable(QStringLiteral("PEDIDOS"))), QStringList{"PedidoCliente -> FREGUESES.DB"});
    Run(s, QStringLiteral("pick PEDIDOS"));
    QCOMPARE(w.NewRIntList->count(), 1);
    QCOMPARE(w.NewRIntList->item(0)->text(), QStringLiteral("PedidoCliente"));
}

void TableCommandsTest::deleteDropsTheRulesOnTheDeletedTable()
{
    SourceWindow s;
    TFormDBScript& w = s.w();
    s.Open();
    for (const char* step : {"add CLIENTES", "add PEDIDOS", "add PRODUTOS", "add ITENS"})
        Run(s, QString::fromLatin1(step));
    Run(s, QStringLiteral("delete CLIENTES"));
    QVERIFY(Rules(s.NewTable(QStringLiteral("PEDIDOS"))).isEmpty());
    QCOMPARE(Rules(s.NewTable(QStringLiteral("ITENS"))), QStringList{"ItemProduto -> PRODUTOS.DB"});
    // The deleted table's successor is selected and shown below.
    QCOMPARE(QString::fromStdString(s.newTables().SelectedName()), QStringLiteral("PEDIDOS"));
    QCOMPARE(w.NewInfo.fieldCount->text(), QStringLiteral("6"));
    QCOMPARE(w.NewRIntList->count(), 0);
    QCOMPARE(w.NewInfo.refIntCount->text(), QStringLiteral("0"));

    // Deleting every table leaves the lower half empty.
    for (const char* name : {"ITENS", "PRODUTOS", "PEDIDOS"})
        Run(s, QStringLiteral("delete ") + QLatin1String(name));
    QVERIFY(s.NewTableNames().isEmpty());
    for (QLineEdit* panel : {w.NewInfo.tableType, w.NewInfo.recordSize, w.NewInfo.bufferSize, w.NewInfo.fieldCount,
                             w.NewInfo.indexCount, w.NewInfo.valCheckCount, w.NewInfo.refIntCount, w.NewInfo.date,
                             w.NewInfo.time, w.NewInfo.restructureVersion, w.NewInfo.codePage, w.NewInfo.tableLevel,
                             w.NewInfo.languageDriver, w.NewInfo.blockSize, w.pnNewProtected})
        QVERIFY2(panel->text().isEmpty(), qPrintable(panel->objectName()));
    QCOMPARE(w.NewIdxList->topLevelItemCount(), 0);
    QCOMPARE(w.NewRIntList->count(), 0);
    QVERIFY(!w.CheckNewSRI->isChecked());
    QCOMPARE(s.Commands().size(), 1);
}

QTEST_MAIN(TableCommandsTest)
#include "TableCommandsTest.moc"
