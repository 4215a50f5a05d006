// "&Desfazer" and "&Refazer" on the real window: a sequence of edits made through the menus
// (target, table, fields, save, rename, index, field deletion) is taken back step by step and
// done again, each step restoring the command texts, the tables with their fields and indexes,
// the grid, the lists and the target field; the script counts as unchanged exactly at the state
// last saved; a new edit drops what could be redone; New starts a fresh history.

#include "db/IvxEngine.h"
#include "editor/TvxEditCommands.h"
#include "editor/TvxScriptedPrompts.h"
#include "editor/fmDBScriptPOR.h"
#include "editor/vxApplication.h"
#include "script/TvxScriptHistory.h"
#include "script/TvxScriptTableList.h"
#include "script/cpDBStructScript.h"
#include "views/cpFieldGrid.h"
#include "views/cpScriptTableListView.h"
#include "support/TempDir.h"
#include "support/TestFields.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include "EditorFixture.h"

using namespace morvane;

namespace {

// What the window shows of the script: commands, tables with fields and index counts, the
// grid's names, the new-table list's entries, the index list and the target.
QStringList Shown(TFormDBScript& w)
{
    QStringList shown;
    for (const auto& text : w.StructScript().CommandTexts())
        shown << QString::fromStdString(text);
    const TvxScriptTableList& tables = w.ScriptTableList();
    for (int t = 0; t < tables.Count(); ++t) {
        QString line = QString::fromStdString(tables.NameAt(t)) + QLatin1Char(':');
        for (const auto& field : tables.TableAt(t)->Fields())
            line += QLatin1Char(' ') + QString::fromStdString(field.name());
        shown << line + QStringLiteral(" / %1 indexes").arg(tables.TableAt(t)->IndexCount());
    }
    QString grid = QStringLiteral("grid");
    for (int row = 1; row < w.FieldGrid->RowCount(); ++row)
        grid += QLatin1Char(' ') + w.FieldGrid->Cells(0, row);
    shown << grid << QStringLiteral("list %1, selected %2, index list %3, target %4")
                         .arg(w.ScriptTableListView->count())
                         .arg(tables.ItemIndex())
                         .arg(w.NewIdxList->topLevelItemCount())
                         .arg(w.EditNewPath->text());
    return shown;
}

} // namespace

class UndoRedoTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { vxInitApplication(*qobject_cast<QApplication*>(QCoreApplication::instance())); }
    void editsTakenBackAndDoneAgain();
};

void UndoRedoTest::editsTakenBackAndDoneAgain()
{
    test::TempDir dir;
    auto engine = CreateParadoxEngine(dir.file("aliases.conf"));
    auto scripted = std::make_unique<TvxScriptedPrompts>();
    TvxScriptedPrompts& prompts = *scripted;
    TFormDBScriptPOR window(*engine, std::move(scripted), std::make_unique<test::NoHelp>());
    TFormDBScript& w = window;
    const auto addField = [&](const char* name) {
        prompts.QueueFieldAnswer([name](TvxFieldDesc& f, QString&) {
            f = test::MakeField(name, f.fieldNumber());
            return true;
        });
        w.mnFieldAdd->trigger();
    };

    // Each edit is one step, whatever the handler marks on the way.
    std::vector<QStringList> states{Shown(w)};
    const auto step = [&] {
        QCoreApplication::processEvents();
        states.push_back(Shown(w));
        QCOMPARE(w.History().UndoCount(), int(states.size() - 1));
        QVERIFY(w.mnUndo->isEnabled() && !w.mnRedo->isEnabled());
    };
    QVERIFY(!w.mnUndo->isEnabled() && !w.mnRedo->isEnabled());
    prompts.QueueText(QString::fromStdString(dir.str()));
    w.BtnPathNew->click();
    step();
    prompts.QueueText(QStringLiteral("NOVA"));
    w.mnTableNew->trigger();
    w.ScriptTableList().SelectIndex(0);
    step();
    addField("Codigo");
    step();
    w.FieldGrid->SelectRow(2);
    addField("Nome");
    step();
    prompts.QueueText(QString::fromStdString(dir.file("u.vxscript")));
    w.mnSaveAs->trigger();
    const std::size_t savedAt = states.size() - 1;
    QVERIFY(!w.Document.ScriptChanged);
    prompts.QueueText(QStringLiteral("OUTRA"));
    w.mnTableChange->trigger();
    step();
    w.mnIdxAdd->trigger();
    step();
    w.FieldGrid->SelectRow(1);
    w.mnFieldDelete->trigger();
    step();
    QCOMPARE(prompts.Unanswered(), 0);
    QVERIFY(w.Document.ScriptChanged);
    for (std::size_t i = 1; i < states.size(); ++i)
        QVERIFY2(states[i] != states[i - 1], qPrintable(states[i].join(QLatin1Char('\n'))));

    // Back to the start, then forward to the end, checking every state on the way.
    for (std::size_t at = states.size() - 1; at > 0; --at) {
        w.mnUndo->trigger();
        QCOMPARE(Shown(w), states[at - 1]);
        QCOMPARE(bool(w.Document.ScriptChanged), at - 1 != savedAt);
        // The items tell what can be done; the title's mark tells what is unsaved.
        QCOMPARE(w.mnUndo->isEnabled(), at > 1);
        QVERIFY(w.mnRedo->isEnabled());
        QCOMPARE(w.isWindowModified(), bool(w.Document.ScriptChanged));
    }
    w.mnUndo->trigger(); // nothing left: nothing changes
    QCOMPARE(Shown(w), states.front());
    for (std::size_t at = 1; at < states.size(); ++at) {
        w.mnRedo->trigger();
        QCOMPARE(Shown(w), states[at]);
        QCOMPARE(bool(w.Document.ScriptChanged), at != savedAt);
        QCOMPARE(w.mnRedo->isEnabled(), at + 1 < states.size());
        QCOMPARE(w.isWindowModified(), bool(w.Document.ScriptChanged));
    }

    // At the saved state closing asks nothing.
    while (w.History().UndoCount() > int(savedAt))
        w.mnUndo->trigger();
    prompts.ClearCalls();
    QVERIFY(w.FormCloseQuery());
    QVERIFY(prompts.Calls().empty());

    // A new edit drops the redo steps and leaves the saved state behind.
    addField("Outro");
    // Not captured yet, the edit can be undone already, and nothing redone.
    QVERIFY(w.mnUndo->isEnabled() && !w.mnRedo->isEnabled());
    w.mnRedo->trigger();
    QCoreApplication::processEvents();
    QCOMPARE(w.History().RedoCount(), 0);
    QVERIFY(w.Document.ScriptChanged);
    QCOMPARE(w.ScriptTableList().TableAt(0)->FieldCount(), 3);
    w.mnUndo->trigger();
    QCOMPARE(Shown(w), states[savedAt]);
    QVERIFY(!w.Document.ScriptChanged);

    // New starts afresh: nothing to undo into the old script.
    w.mnNew->trigger();
    QVERIFY(!w.mnUndo->isEnabled() && !w.mnRedo->isEnabled());
    w.mnUndo->trigger();
    QCOMPARE(w.StructScript().Count(), 0);
    QCOMPARE(w.ScriptTableList().Count(), 0);
    QVERIFY(!w.Document.ScriptChanged);
}

QTEST_MAIN(UndoRedoTest)
#include "UndoRedoTest.moc"
