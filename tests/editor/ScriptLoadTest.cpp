// Reading a document back through the main window's script: the new tables follow the loaded
// commands (tables added from the open database are cloned from it), and an added table whose
// source the open database lacks is reported and ends the loading.

#include "db/IvxEngine.h"
#include "db/cpDatabase.h"
#include "editor/TvxScriptedPrompts.h"
#include "editor/fmDBScriptPOR.h"
#include "editor/vxApplication.h"
#include "script/EvxAbort.h"
#include "script/TvxCommand.h"
#include "script/TvxScriptDocument.h"
#include "script/TvxScriptTableList.h"
#include "script/cpDBStructScript.h"
#include "views/cpDataSetListBox.h"
#include "views/cpFieldGrid.h"
#include "views/cpFieldsListBox.h"
#include "views/cpScriptTableListView.h"
#include "support/SamplePath.h"
#include "support/TempDir.h"
#include "support/TestScript.h"

#include <QApplication>
#include <QTest>

using namespace morvane;

namespace {

class NoHelp : public IvxHelp
{
public:
    void ShowContext(int) override {}
    void ShowSearch() override {}
    void Quit() override {}
};

std::unique_ptr<TvxCommand> Command(std::uint8_t kind, std::vector<TvxValue> values)
{
    return std::make_unique<TvxCommand>(kind, values);
}

// Writes a document holding the given commands and no table records.
void WriteDocument(const QString& path, std::vector<std::unique_ptr<TvxCommand>> commands)
{
    test::TestScript script;
    for (auto& c : commands)
        script.Add(std::move(c));
    TvxScriptTableList noTables; // a table count of 0: the rebuilt tables keep what the commands made
    SaveScriptDocument(path.toStdString(), "Morvane", script, noTables);
}

struct Window
{
    test::TempDir dir;
    std::unique_ptr<IvxEngine> engine;
    TvxScriptedPrompts* prompts = nullptr;
    std::unique_ptr<TFormDBScriptPOR> window;

    Window()
    {
        engine = CreateParadoxEngine(dir.file("aliases.conf"));
        auto scripted = std::make_unique<TvxScriptedPrompts>();
        prompts = scripted.get();
        window = std::make_unique<TFormDBScriptPOR>(*engine, std::move(scripted), std::make_unique<NoHelp>());
    }
};

} // namespace

class ScriptLoadTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { vxInitApplication(*qobject_cast<QApplication*>(QCoreApplication::instance())); }

    void tablesFollowTheLoadedCommands()
    {
        Window w;
        w.window->Database().OpenByPath(test::SamplePath("pd-joins"));
        w.window->Database().SetConnected(true);
        QVERIFY(w.window->DataSetList->TableByName("a") != nullptr);

        const QString doc = QString::fromStdString(w.dir.file("two.vxscript"));
        std::vector<std::unique_ptr<TvxCommand>> commands;
        commands.push_back(Command(ckCreateTable, {"CLI"}));
        commands.push_back(Command(ckCreateField, {"CLI", "Codigo", 1, 267, 0, 4}));
        commands.push_back(Command(ckCreateField, {"CLI", "Nome", 2, 257, 40, 40}));
        commands.push_back(Command(ckAddTable, {"MESTRE", "A"}));
        commands.push_back(Command(ckDeleteField, {"CLI", "codigo"}));
        WriteDocument(doc, std::move(commands));

        TvxScriptTableList& tables = w.window->ScriptTableList();
        QVERIFY(!OpenScriptDocument(doc.toStdString(), w.window->StructScript(), tables));
        QCOMPARE(w.window->StructScript().Count(), 5);
        QCOMPARE(tables.Count(), 2);
        QCOMPARE(QString::fromStdString(tables.NameAt(0)), QStringLiteral("CLI"));
        QCOMPARE(tables.TableAt(0)->FieldCount(), 1);
        QCOMPARE(QString::fromStdString(tables.TableAt(0)->GetField(0)->name()), QStringLiteral("Nome"));
        QCOMPARE(QString::fromStdString(tables.TableAt(0)->FileName()), QStringLiteral("CLI.DB"));

        // The added table is a clone of the source table under its new name.
        const TvxTableDesc* source = w.window->DataSetList->TableByName("A");
        const TvxTableDesc* added = tables.TableAt(1);
        QCOMPARE(QString::fromStdString(added->TableName()), QStringLiteral("MESTRE"));
        QCOMPARE(added->FieldCount(), source->FieldCount());
        QCOMPARE(added->IndexCount(), source->IndexCount());
        QCOMPARE(w.prompts->Calls().size(), std::size_t(0));
        QCOMPARE(w.window->ScriptTableListView->count(), 2); // the widget shows the rebuilt entries
    }

    void aMissingSourceTableIsReportedAndEndsTheLoad()
    {
        Window w; // no database open: no source table exists
        const QString doc = QString::fromStdString(w.dir.file("missing.vxscript"));
        std::vector<std::unique_ptr<TvxCommand>> commands;
        commands.push_back(Command(ckCreateTable, {"CLI"}));
        commands.push_back(Command(ckAddTable, {"NOVA", "PEDIDOS"}));
        commands.push_back(Command(ckCreateTable, {"NEVER"}));
        WriteDocument(doc, std::move(commands));

        w.prompts->QueueMessageAnswer(TvxMsgResult::Ok);
        bool aborted = false;
        try {
            OpenScriptDocument(doc.toStdString(), w.window->StructScript(), w.window->ScriptTableList());
        } catch (const EvxAbort&) {
            aborted = true;
        }
        QVERIFY(aborted);
        QCOMPARE(w.window->StructScript().Count(), 2); // the failing command stays, nothing after it
        QCOMPARE(w.window->ScriptTableList().Count(), 1);
        QCOMPARE(w.prompts->Calls().size(), std::size_t(1));
        QCOMPARE(w.prompts->Calls()[0].text, QStringLiteral("A tabela PEDIDOS não foi encontrada no caminho atual"));
        QCOMPARE(w.prompts->Calls()[0].caption, QStringLiteral("Morvane"));
    }

    void clearingRemovesTheTemporaryAliasOfAPathDatabase()
    {
        Window w;
        TvxStringList params{"TYPE=STANDARD", "PATH=/tmp"};
        w.engine->Session(vxSession).ModifyAlias("vxALIAS", params);
        QVERIFY(!w.engine->Session(vxSession).AliasNames().empty());

        std::vector<std::unique_ptr<TvxCommand>> commands;
        commands.push_back(Command(ckAddAlias, {"", "STANDARD", "/tmp"}));
        const QString doc = QString::fromStdString(w.dir.file("alias.vxscript"));
        WriteDocument(doc, std::move(commands));
        OpenScriptDocument(doc.toStdString(), w.window->StructScript(), w.window->ScriptTableList());
        w.window->StructScript().Clear();
        QCOMPARE(w.window->StructScript().Count(), 0);
        const TvxStringList left = w.engine->Session(vxSession).AliasNames();
        QVERIFY(std::find(left.begin(), left.end(), "vxALIAS") == left.end());
    }
};

QTEST_MAIN(ScriptLoadTest)
#include "ScriptLoadTest.moc"
