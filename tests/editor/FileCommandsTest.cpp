// The "&Arquivo" commands on the real window, over copies of the example database: a whole round
// (source and target chosen, tables and fields added through the handlers, saved, closed,
// reopened with the commands replayed and the descriptors read back, the update and maintenance
// scripts created and executed through the factory with our update server, the target read
// back; a lossy change whose preview is answered No writes nothing; a source table removed
// meanwhile stops the reopening with 10027), and the executor's road to a scripted server
// (call order, passwords of a protected source, -294, one server for many runs, the preview's
// question).

#include "db/IvxEngine.h"
#include "db/cpDatabase.h"
#include "editor/TvxAliasCommands.h"
#include "editor/TvxFileCommands.h"
#include "editor/TvxMessages.h"
#include "editor/TvxRecentDocuments.h"
#include "editor/TvxScriptedPrompts.h"
#include "editor/fmDBScriptPOR.h"
#include "editor/vxApplication.h"
#include "editor/vxStrings.h"
#include "model/TvxFieldValue.h"
#include "script/CovxUpdateServer.h"
#include "script/TvxScriptHistory.h"
#include "script/TvxScriptTableList.h"
#include "script/cpDBStructScript.h"
#include "server/TvxUpdateServer.h"
#include "views/TvxResourceVersion.h"
#include "views/cpDataSetListBox.h"
#include "views/cpFieldGrid.h"
#include "support/SamplePath.h"
#include "support/TempDir.h"
#include "support/TestFields.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMenu>
#include <QMimeData>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStatusBar>
#include <QTreeWidget>
#include <QTest>
#include <QUrl>

#include <filesystem>

#include "EditorFixture.h"

using namespace morvane;
namespace fs = std::filesystem;

namespace {

QString Q(const fs::path& path)
{
    return QString::fromStdString(path.string());
}

// A window over a real engine whose alias configuration lives in dir.
struct Window
{
    TvxScriptedPrompts* prompts = nullptr;
    std::unique_ptr<IvxEngine> engine;
    std::unique_ptr<TFormDBScriptPOR> window;

    explicit Window(const test::TempDir& dir)
    {
        engine = CreateParadoxEngine(dir.file("aliases.conf"));
        auto scripted = std::make_unique<TvxScriptedPrompts>();
        prompts = scripted.get();
        window = std::make_unique<TFormDBScriptPOR>(*engine, std::move(scripted), std::make_unique<test::NoHelp>());
    }
    TFormDBScript& w() const { return *window; }
    TvxScriptTableList& tables() const { return window->ScriptTableList(); }

    // Source and target directories as the "..." buttons give them; the source opened.
    void Connect(const fs::path& source, const fs::path& target)
    {
        prompts->QueueText(Q(source));
        window->BtnPath->click();
        prompts->QueueText(Q(target));
        window->BtnPathNew->click();
        window->mnOpenDatabase->trigger();
    }
    void SelectCurrent(const std::string& name)
    {
        for (int i = 0; i < window->DataSetList->count(); ++i)
            if (QString::fromStdString(window->DataSetList->NameAt(i)).compare(QString::fromStdString(name),
                                                                               Qt::CaseInsensitive) == 0)
                window->DataSetList->SelectIndex(i);
    }
    void SelectNew(const std::string& name) { tables().SelectIndex(tables().IndexOfName(name)); }
    QStringList Texts() const
    {
        QStringList texts;
        for (const auto& text : window->StructScript().CommandTexts())
            texts << QString::fromStdString(text);
        return texts;
    }
    QString LastMessage() const
    {
        for (auto it = prompts->Calls().rbegin(); it != prompts->Calls().rend(); ++it)
            if (it->what == QLatin1String("Message"))
                return it->text;
        return {};
    }
    bool Asked(const char* what) const
    {
        for (const auto& call : prompts->Calls())
            if (call.what == QLatin1String(what))
                return true;
        return false;
    }
};

std::vector<std::string> FieldNames(const TvxTableDesc& table)
{
    std::vector<std::string> names;
    for (const auto& field : table.Fields())
        names.push_back(field.name());
    return names;
}

// Records of a table, read through our reader.
int RecordCount(TvxDatabase& database, const std::string& table)
{
    auto records = database.OpenRecords(table);
    TvxRecord record;
    int count = 0;
    while (records->Next(record))
        ++count;
    return count;
}

// The example database's families of the given tables, copied into directory.
void CopyExample(const fs::path& directory, const std::vector<std::string>& tables)
{
    fs::create_directories(directory);
    for (const auto& entry : fs::directory_iterator(MORVANE_EXAMPLE_DIR)) {
        const std::string stem = entry.path().stem().string();
        if (std::find(tables.begin(), tables.end(), stem) != tables.end())
            fs::copy_file(entry.path(), directory / entry.path().filename());
    }
}

// An update server that records its calls into a log the test reads; Run answers `code`, and a
// dry run reports one value cut when `cuts`.
struct ServerLog
{
    std::vector<std::string> calls;
    int created = 0;
    int code = 0;
    bool cuts = false;
};

class ScriptedServer : public IvxUpdateServer
{
public:
    explicit ScriptedServer(ServerLog& log) : log_(log) {}
    std::string ScriptFile() const override { return {}; }
    void SetScriptFile(std::string_view f) override { log_.calls.push_back("SetScriptFile " + std::string(f)); }
    std::string Source() const override { return {}; }
    void SetSource(std::string_view s) override { log_.calls.push_back("SetSource " + std::string(s)); }
    std::string NewPath() const override { return {}; }
    void SetNewPath(std::string_view p) override { log_.calls.push_back("SetNewPath " + std::string(p)); }
    int Run() override
    {
        log_.calls.push_back(dry_ ? "Run dry" : "Run");
        report_ = {};
        report_.code = log_.code;
        report_.dryRun = dry_;
        if (dry_ && log_.cuts) {
            report_.tables.emplace_back();
            report_.tables.back().table = "CLIENTES.DB";
            report_.tables.back().AddCut({"Nome", "Ana Silva", "Ana"});
        }
        return log_.code;
    }
    void AddPassword(std::string_view p) override { log_.calls.push_back("AddPassword " + std::string(p)); }
    void SetDryRun(bool d) override { dry_ = d; }
    void SetProgress(TvxUpdateProgressEvent) override {}
    const TvxUpdateReport& Report() const override { return report_; }

private:
    ServerLog& log_;
    bool dry_ = false;
    TvxUpdateReport report_;
};

} // namespace

class FileCommandsTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { vxInitApplication(*qobject_cast<QApplication*>(QCoreApplication::instance())); }
    void cleanup() { CovxUpdateServer::Register({}); }

    void wholeRound();
    void executionThroughTheFactory();
    void scriptFromComparison();
    void recentDocumentsAndDrops();
};

void FileCommandsTest::wholeRound()
{
    RegisterUpdateServer();
    test::TempDir dir;
    const fs::path source = dir.path() / "origem";
    const fs::path target = dir.path() / "destino";
    CopyExample(source, {"CLIENTES", "PRODUTOS"});
    fs::create_directories(target);
    const QString document = Q(dir.path() / "v1.2" / "novo.vxscript");
    fs::create_directories(dir.path() / "v1.2");

    QStringList saved;
    std::vector<std::string> newFields;
    {
        Window w(dir);
        w.Connect(source, target);
        QCOMPARE(w.w().DataSetList->count(), 2);
        // CLIENTES copied under its own name; NOVA created with two fields and an index.
        w.SelectCurrent("CLIENTES");
        w.prompts->QueueText(QStringLiteral("CLIENTES"));
        w.w().mnTableAdd->trigger();
        w.prompts->QueueText(QStringLiteral("NOVA"));
        w.w().mnTableNew->trigger();
        w.SelectNew("NOVA");
        w.prompts->QueueFieldAnswer([](TvxFieldDesc& f, QString&) {
            f = test::MakeField("Codigo", f.fieldNumber(), fldLong);
            return true;
        });
        w.w().mnFieldAdd->trigger();
        w.prompts->QueueFieldAnswer([](TvxFieldDesc& f, QString& value) {
            f = test::MakeField("Nome", f.fieldNumber(), fldAlpha, 25);
            value = QStringLiteral("sem nome");
            return true;
        });
        w.w().mnFieldAdd->trigger();
        w.w().mnIdxAdd->trigger();
        w.w().NewIdxList->setCurrentItem(w.w().NewIdxList->topLevelItem(0));
        w.w().NewIdxFieldsList->setCurrentRow(0);
        w.w().mnIdxAddField->trigger();
        QCOMPARE(w.tables().Count(), 2);
        QCOMPARE(w.tables().TableByName("NOVA")->FieldCount(), 2);
        QCOMPARE(w.tables().TableByName("NOVA")->IndexCount(), 1);
        QVERIFY(w.tables().TableByName("NOVA")->AllIndexesHaveFields());
        QVERIFY(w.w().Document.ScriptChanged);
        QCOMPARE(w.prompts->Unanswered(), 0);

        QVERIFY(w.w().isWindowModified());
        QVERIFY(w.w().mnUndo->isEnabled());
        w.prompts->QueueText(document);
        w.w().mnSaveAs->trigger();
        // Saved: a notice naming the file, no box; the unsaved mark gone, the document recent.
        QCOMPARE(w.w().statusBar()->currentMessage(),
                 QStringLiteral("O Arquivo foi salvo com sucesso: ") + QDir::toNativeSeparators(document));
        QVERIFY(!w.Asked("Message"));
        QVERIFY(fs::exists(document.toStdString()));
        QCOMPARE(w.w().Document.DocumentFileName, document);
        QCOMPARE(w.w().windowTitle(),
                 TvxResourceVersion::Instance().ProductName() + QLatin1Char(' ') + document + QStringLiteral("[*]"));
        QVERIFY(!w.w().Document.ScriptChanged && !w.w().isWindowModified());
        QCOMPARE(w.w().RecentDocuments().Files().front(), document);
        saved = w.Texts();
        newFields = FieldNames(*w.tables().TableByName("NOVA"));
        w.prompts->ClearCalls();
        QVERIFY(w.w().FormCloseQuery()); // unchanged since saved: no question
        QVERIFY(w.prompts->Calls().empty());
    }

    Window w(dir);
    w.prompts->QueueText(document);
    w.w().mnOpen->trigger();
    QCOMPARE(w.prompts->Unanswered(), 0);
    QCOMPARE(w.Texts(), saved);
    QCOMPARE(w.w().Document.DocumentFileName, document);
    QVERIFY(!w.w().Document.ScriptChanged);
    QVERIFY(w.w().Database().Connected()); // the source reopened from the document
    QCOMPARE(w.w().EditPath->text(), Q(source));
    QCOMPARE(w.w().EditNewPath->text(), Q(target));
    QCOMPARE(w.tables().ItemIndex(), 0);
    QCOMPARE(FieldNames(*w.tables().TableByName("NOVA")), newFields);
    QCOMPARE(w.tables().TableByName("NOVA")->IndexCount(), 1); // descriptors read back
    QCOMPARE(w.tables().TableByName("CLIENTES")->FieldCount(), 8);

    // The command list shows the script's texts.
    w.w().mnCommands->trigger();
    QCOMPARE(w.prompts->Calls().back().what, QStringLiteral("ShowCommands"));
    QCOMPARE(w.prompts->Calls().back().extra, saved);

    w.w().mnScriptCreate->trigger();
    QVERIFY(w.w().statusBar()->currentMessage().startsWith(QStringLiteral("Os Scripts foram criados com sucesso: ")));
    QVERIFY(w.w().statusBar()->currentMessage().endsWith(QStringLiteral("novo.vxmsp")));
    const fs::path update = dir.path() / "v1.2" / "novo.vxusp";
    QVERIFY(fs::exists(update) && fs::exists(dir.path() / "v1.2" / "novo.vxmsp"));

    // The update script through our server: the dialog starts beside the document; one question
    // names script, source and target (empty yet: nothing to replace); the result names the
    // target, the tables and the records, and offers the folder.
    w.prompts->ClearCalls();
    w.prompts->QueueText(Q(update));
    w.prompts->QueueMessageAnswer(TvxMsgResult::Ok);
    w.prompts->QueueMessageAnswer(TvxMsgResult::Yes);
    QString opened;
    w.w().FileCommands().OpenFolder = [&opened](const QString& folder) { opened = folder; };
    w.w().mnScriptExecute->trigger();
    const std::vector<TvxPromptCall> calls = w.prompts->Calls();
    QCOMPARE(calls.size(), std::size_t(3));
    QCOMPARE(calls[0].extra.at(1), Q(dir.path() / "v1.2"));
    for (const fs::path& named : {update, source, target})
        QVERIFY2(calls[1].text.contains(QDir::toNativeSeparators(Q(named))), qPrintable(calls[1].text));
    QVERIFY(!calls[1].text.contains(vxLoadString(10113)));
    QCOMPARE(calls[2].what, QStringLiteral("MessageWithAction"));
    for (const QString& part : {QDir::toNativeSeparators(Q(target)), QStringLiteral("NOVA"), vxLoadString(10136).arg(
                                    RecordCount(w.w().Database(), "CLIENTES.DB"))})
        QVERIFY2(calls[2].text.contains(part), qPrintable(calls[2].text));
    QCOMPARE(opened, Q(target));
    QCOMPARE(w.prompts->Unanswered(), 0);
    QVERIFY(w.w().FileCommands().ExeScript().HasServer());
    {
        TvxDatabase written(*w.engine);
        written.OpenByPath(target.string());
        const TvxTableItems items = written.ReadTables();
        QCOMPARE(items.size(), std::size_t(2));
        const TvxTableListRec nova = written.FindTable("NOVA");
        QCOMPARE(FieldNames(written.ReadTable(nova)), newFields);
        QCOMPARE(RecordCount(written, "CLIENTES.DB"), RecordCount(w.w().Database(), "CLIENTES.DB"));
    }

    // Nome shortened to 3 characters: the preview shows the cut values; No writes nothing.
    w.SelectNew("CLIENTES");
    w.w().FieldGrid->SelectRow(2);
    w.prompts->QueueFieldAnswer([](TvxFieldDesc& f, QString&) {
        f.setUnits1(3);
        f.setLength(3);
        return true;
    });
    w.w().mnFieldChange->trigger();
    QVERIFY(w.Texts().size() > saved.size());
    w.w().mnScriptCreate->trigger();
    const fs::path empty = dir.path() / "vazio";
    fs::create_directories(empty);
    w.w().EditNewPath->setText(Q(empty));
    w.prompts->ClearCalls();
    w.prompts->QueueText(Q(update));
    w.prompts->QueueMessageAnswer(TvxMsgResult::No);
    w.w().mnScriptExecute->trigger();
    // The preview, in Portuguese and titled so, with the run's question under it.
    QCOMPARE(w.prompts->Calls().back().what, QStringLiteral("AskAboutReport"));
    QCOMPARE(w.prompts->Calls().back().caption, vxLoadString(10114));
    QVERIFY(w.prompts->Calls().back().text.contains(QDir::toNativeSeparators(Q(empty))));
    QVERIFY(w.prompts->Calls().back().extra.front().contains(QStringLiteral("Tabela CLIENTES")));
    QVERIFY(fs::is_empty(empty));
    // Yes runs it.
    w.prompts->QueueText(Q(update));
    w.prompts->QueueMessageAnswer(TvxMsgResult::Yes);
    w.w().mnScriptExecute->trigger();
    QVERIFY(fs::exists(empty / "CLIENTES.DB"));
    QCOMPARE(w.prompts->Unanswered(), 0);

    // CLIENTES removed from the source meanwhile: the reopening stops at it.
    w.w().Database().SetConnected(false);
    for (const auto& entry : fs::directory_iterator(source))
        if (entry.path().stem() == "CLIENTES")
            fs::remove(entry.path());
    Window again(dir);
    again.prompts->QueueText(document);
    again.w().mnOpen->trigger();
    QCOMPARE(again.LastMessage(), QString::fromUtf8("A tabela CLIENTES não foi encontrada no caminho atual"));
    QVERIFY(again.w().Document.DocumentFileName.isEmpty());
    QVERIFY(!again.w().Document.ScriptChanged);
    QCOMPARE(again.w().windowTitle(), TvxResourceVersion::Instance().ProductName() + QStringLiteral("[*]"));
    QCOMPARE(again.tables().Count(), 0);
}

void FileCommandsTest::executionThroughTheFactory()
{
    ServerLog log;
    CovxUpdateServer::Register([&log] {
        ++log.created;
        return std::make_unique<ScriptedServer>(log);
    });
    test::TempDir dir;
    const fs::path source = dir.path() / "protegido";
    const fs::path target = dir.path() / "destino";
    fs::create_directories(source);
    fs::create_directories(target);
    fs::copy_file(test::SamplePath("pd-encrypt/encrypted.db"), source / "encrypted.db");
    dir.write("s.vxusp", "u");

    Window w(dir);
    w.prompts->QueueText(Q(source));
    w.w().BtnPath->click();
    w.prompts->QueueText(Q(target));
    w.w().BtnPathNew->click();
    w.prompts->QueueText(QStringLiteral("123"));
    w.w().mnOpenDatabase->trigger();
    QCOMPARE(w.w().DataSetList->count(), 1);

    // A file that is not there: -294 shown as 294, and no server is made.
    w.prompts->QueueText(Q(dir.path() / "falta.vxusp"));
    w.w().mnScriptExecute->trigger();
    QCOMPARE(w.LastMessage(), vxLoadString(294));
    QCOMPARE(log.created, 0);
    // Another extension does nothing.
    w.prompts->ClearCalls();
    w.prompts->QueueText(Q(dir.path() / "s.txt"));
    w.w().mnScriptExecute->trigger();
    QCOMPARE(w.prompts->Calls().size(), std::size_t(1));

    const std::string file = (dir.path() / "s.vxusp").string();
    const std::vector<std::string> prepare = {"SetSource " + source.string(), "SetNewPath " + target.string(),
                                              "SetScriptFile " + file, "AddPassword 123"};
    std::vector<std::string> run = prepare;
    run.push_back("Run dry");
    run.insert(run.end(), prepare.begin(), prepare.end());
    run.push_back("Run");
    for (int round = 0; round < 2; ++round) {
        log.calls.clear();
        w.prompts->QueueText(Q(dir.path() / "s.vxusp"));
        w.prompts->QueueMessageAnswer(TvxMsgResult::Ok);
        w.w().mnScriptExecute->trigger();
        QCOMPARE(log.calls, run);
    }
    QCOMPARE(log.created, 1);

    // Cut values in the preview: the report and the question; No leaves out the real run, and a
    // code from the dry run is shown at once, with nothing asked.
    log.cuts = true;
    log.calls.clear();
    w.prompts->QueueText(Q(dir.path() / "s.vxusp"));
    w.prompts->QueueMessageAnswer(TvxMsgResult::No);
    w.w().mnScriptExecute->trigger();
    QCOMPARE(log.calls.back(), std::string("Run dry"));
    QVERIFY(w.prompts->Calls().back().extra.front().contains(QStringLiteral("Ana Silva")));
    log.code = 296;
    w.prompts->QueueText(Q(dir.path() / "s.vxusp"));
    w.w().mnScriptExecute->trigger();
    QCOMPARE(log.calls.back(), std::string("Run dry"));
    QCOMPARE(w.LastMessage(), vxLoadString(296));
    QCOMPARE(w.prompts->Unanswered(), 0);
}

void FileCommandsTest::scriptFromComparison()
{
    test::TempDir dir;
    const fs::path source = dir.path() / "origem";
    const fs::path wanted = dir.path() / "desejado";
    const fs::path target = dir.path() / "destino";
    CopyExample(source, {"CLIENTES", "PRODUTOS"});
    CopyExample(wanted, {"PRODUTOS"});
    for (const char* file : {"two.db", "two.px", "two.val"})
        fs::copy_file(test::SamplePath(std::string("pd-joins/") + file), wanted / file);
    fs::create_directories(target);

    Window w(dir);
    w.w().mnScriptCompare->trigger(); // no source open: said so, nothing asked
    QCOMPARE(w.prompts->Calls().size(), std::size_t(1));
    QVERIFY(w.w().StructScript().Count() == 0);

    w.Connect(source, target);
    w.prompts->QueueText(QStringLiteral("X"));
    w.w().mnTableNew->trigger();
    QVERIFY(w.w().Document.ScriptChanged);
    w.prompts->ClearCalls();
    w.prompts->QueueMessageAnswer(TvxMsgResult::No); // the changed script is not saved
    w.prompts->QueueMessageAnswer(TvxMsgResult::Ok); // the wanted structure, replacing the script
    w.prompts->QueueText(Q(wanted));
    w.w().mnScriptCompare->trigger();
    QCOMPARE(w.prompts->Calls().front().text, QStringLiteral("O Script esta alterado! Salvar?"));
    QCOMPARE(w.prompts->Calls().at(1).text, vxLoadString(10157) + QLatin1Char('\n') + vxLoadString(10158));
    QCOMPARE(w.prompts->Unanswered(), 0);

    QStringList names;
    for (int i = 0; i < w.tables().Count(); ++i)
        names << QString::fromStdString(w.tables().NameAt(i));
    names.sort(Qt::CaseInsensitive);
    QCOMPARE(names, (QStringList{"PRODUTOS", "two"}));
    const TvxDBScript& script = w.w().StructScript();
    const int added = script.FindTableCommand("PRODUTOS");
    const int created = script.FindTableCommand("two");
    QVERIFY(added >= 0 && created >= 0);
    QCOMPARE(script.Command(added)->Kind(), std::uint8_t(ckAddTable));
    QCOMPARE(script.Command(created)->Kind(), std::uint8_t(ckCreateTable));
    QVERIFY(script.FindTableCommand("X") < 0 && script.FindTableCommand("CLIENTES") < 0);
    QCOMPARE(w.w().EditNewPath->text(), Q(target)); // the target stays
    QCOMPARE(w.tables().ItemIndex(), 0);
    QVERIFY(w.w().Document.ScriptChanged);
    QVERIFY(w.w().Document.DocumentFileName.isEmpty());
    QVERIFY(!w.w().History().CanUndo());
    QVERIFY(w.w().Database().Connected());
}

void FileCommandsTest::recentDocumentsAndDrops()
{
    // Newest first, once each, at most the limit.
    QStringList list;
    for (const char* path : {"a", "b", "c", "b", "d"})
        list = TvxRecentDocuments::Pushed(list, QString::fromLatin1(path), 3);
    QCOMPARE(list, (QStringList{"d", "b", "c"}));

    test::TempDir dir;
    const QString document = Q(dir.path() / "doc.vxscript");
    {
        Window w(dir);
        w.prompts->QueueText(document);
        w.w().mnSaveAs->trigger();
        QCOMPARE(w.w().RecentDocuments().Files().front(), document);
        QVERIFY(w.w().mnRecent->menuAction()->isEnabled());
    }
    // Kept for the next window; a document gone is said so and leaves the list.
    Window w(dir);
    QCOMPARE(w.w().RecentDocuments().Files().front(), document);
    fs::rename(document.toStdString(), (dir.path() / "outro.vxscript"));
    w.w().mnRecent->actions().front()->trigger();
    QCOMPARE(w.LastMessage(), TvxMessages::FormatMessage(vxLoadString(10100), QDir::toNativeSeparators(document)));
    QVERIFY(!w.w().RecentDocuments().Files().contains(document));

    // A .vxscript dropped on the window opens; anything else is not taken.
    const auto drag = [&w](const fs::path& file) {
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(Q(file))});
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(w.window.get(), &enter);
        if (enter.isAccepted()) {
            QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
            QCoreApplication::sendEvent(w.window.get(), &drop);
            QCoreApplication::processEvents();
        }
        return enter.isAccepted();
    };
    QVERIFY(!drag(dir.path() / "aliases.conf"));
    QVERIFY(drag(dir.path() / "outro.vxscript"));
    QCOMPARE(w.w().Document.DocumentFileName, Q(dir.path() / "outro.vxscript"));
}

QTEST_MAIN(FileCommandsTest)
#include "FileCommandsTest.moc"
