// The real main window: its menu, tabs, caption and alias list after start, the message
// helpers, the engine-error box at start-up, help keys and closing, and the wiring of every
// menu item and control event to the handler of its menu area.

#include "db/IvxEngine.h"
#include "editor/TvxAliasCommands.h"
#include "editor/TvxDiagramCommands.h"
#include "editor/TvxEditCommands.h"
#include "editor/TvxFieldCommands.h"
#include "editor/TvxFileCommands.h"
#include "editor/TvxHelpCommands.h"
#include "editor/TvxIndexCommands.h"
#include "editor/TvxRefIntCommands.h"
#include "editor/TvxScriptedPrompts.h"
#include "editor/TvxTableCommands.h"
#include "editor/fmDBScriptPOR.h"
#include "editor/vxApplication.h"
#include "editor/vxStrings.h"
#include "script/vxUpdateServerCodes.h"
#include "views/cpComboBox.h"
#include "views/cpDataSetListBox.h"
#include "views/cpFieldGrid.h"
#include "views/cpFieldsListBox.h"
#include "views/cpScriptTableListView.h"
#include "support/TempDir.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMetaMethod>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTabWidget>
#include <QSet>
#include <QStatusBar>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>

using namespace morvane;

namespace {

class RecordingHelp : public IvxHelp
{
public:
    QStringList calls;
    void ShowContext(int context) override { calls << QStringLiteral("context %1").arg(context); }
    void ShowSearch() override { calls << QStringLiteral("search"); }
    void Quit() override { calls << QStringLiteral("quit"); }
};

// A window over a real engine whose alias configuration holds the given text.
struct WindowUnderTest
{
    test::TempDir dir;
    std::unique_ptr<IvxEngine> engine;
    TvxScriptedPrompts* prompts = nullptr;
    RecordingHelp* help = nullptr;
    std::unique_ptr<TFormDBScriptPOR> window;

    explicit WindowUnderTest(const QByteArray& config,
                             const std::function<void(TvxScriptedPrompts&)>& prepare = {})
    {
        const QString path = QString::fromStdString(dir.file("aliases.conf"));
        QFile file(path);
        if (file.open(QIODevice::WriteOnly))
            file.write(config);
        file.close();
        engine = CreateParadoxEngine(path.toStdString());
        auto scripted = std::make_unique<TvxScriptedPrompts>();
        auto recording = std::make_unique<RecordingHelp>();
        prompts = scripted.get();
        help = recording.get();
        if (prepare)
            prepare(*prompts);
        window = std::make_unique<TFormDBScriptPOR>(*engine, std::move(scripted), std::move(recording));
    }
};

// The real engine, except that the session "Session" fails as the given error says when put
// into persistent configuration mode.
class FailingSessionEngine : public IvxEngine
{
public:
    FailingSessionEngine(IvxEngine& real, std::function<void()> fail) : real_(real), session_(*this, std::move(fail)) {}
    IvxEngineSession& Session(std::string_view name) override
    {
        return name == vxSession ? session_ : real_.Session(name);
    }
    std::vector<TvxFieldTypeRec> ListFieldTypes(std::string_view driver, std::string_view tableType) override
    {
        return real_.ListFieldTypes(driver, tableType);
    }

private:
    class FailingSession : public IvxEngineSession
    {
    public:
        FailingSession(FailingSessionEngine& engine, std::function<void()> fail)
            : real_(engine.real_.Session(vxSession)), fail_(std::move(fail))
        {
        }
        std::string Name() const override { return real_.Name(); }
        void SetPersistentConfigMode() override { fail_(); }
        TvxStringList AliasNames() override { return real_.AliasNames(); }
        TvxStringList DriverNames() override { return real_.DriverNames(); }
        TvxStringList AliasParams(std::string_view alias) override { return real_.AliasParams(alias); }
        void ModifyAlias(std::string_view alias, const TvxStringList& params) override
        {
            real_.ModifyAlias(alias, params);
        }
        void DeleteAlias(std::string_view alias) override { real_.DeleteAlias(alias); }
        void AddPassword(std::string_view password) override { real_.AddPassword(password); }
        std::unique_ptr<IvxEngineDatabase> OpenDatabase(const TvxDatabaseParams& params) override
        {
            return real_.OpenDatabase(params);
        }

    private:
        IvxEngineSession& real_;
        std::function<void()> fail_;
    };

    IvxEngine& real_;
    FailingSession session_;
};

QByteArray GoodConfig(const std::filesystem::path& dir)
{
    return QStringLiteral("[EXEMPLO]\nTYPE=STANDARD\nPATH=%1\n\n[VENDAS]\nTYPE=STANDARD\nPATH=%1\n")
        .arg(QString::fromStdString(dir.string()))
        .toUtf8();
}

// Whether anything at all is connected to that signal of object. (isSignalConnected is
// protected; taken through a class that makes it public it is a plain member pointer.)
bool IsConnected(const QObject* object, const QMetaMethod& signal)
{
    struct Probe : QObject
    {
        using QObject::isSignalConnected;
    };
    return (object->*(&Probe::isSignalConnected))(signal);
}

QMetaMethod Signal(const QObject* object, const char* signature)
{
    const QMetaObject* meta = object->metaObject();
    const int index = meta->indexOfSignal(QMetaObject::normalizedSignature(signature).constData());
    return index < 0 ? QMetaMethod() : meta->method(index);
}

// The handler objects of the window, each with the name tests report.
std::vector<std::pair<const char*, QObject*>> Handlers(TFormDBScript& window)
{
    return {{"file", &window.FileCommands()},     {"alias", &window.AliasCommands()},
            {"table", &window.TableCommands()},   {"field", &window.FieldCommands()},
            {"index", &window.IndexCommands()},   {"refInt", &window.RefIntCommands()},
            {"help", &window.HelpCommands()},     {"edit", &window.EditCommands()},
            {"diagram", &window.DiagramCommands()}};
}

// Checks that the signal of sender reaches handler `expected` (by name) and no other handler
// nor the window itself, then cuts those connections. Empty when so, otherwise what is wrong.
QString CheckWired(TFormDBScript& window, QObject* sender, const QMetaMethod& signal, const QString& expected)
{
    const QString what = sender->objectName() + QLatin1Char('.') + QString::fromLatin1(signal.methodSignature());
    if (!signal.isValid())
        return what + QStringLiteral(": no such signal");
    if (QObject::disconnect(sender, signal, &window, QMetaMethod()))
        return what + QStringLiteral(": reaches the window");
    // expected names one handler, or several joined by "+", each of which the event reaches.
    const QStringList allowed = expected.split(QLatin1Char('+'));
    int reached = 0;
    for (auto [name, handler] : Handlers(window)) {
        const bool connected = QObject::disconnect(sender, signal, handler, QMetaMethod());
        if (connected && !allowed.contains(QLatin1String(name)))
            return what + QStringLiteral(": reaches the %1 handler").arg(QLatin1String(name));
        reached += connected ? 1 : 0;
    }
    return reached == allowed.size() ? QString() : what + QStringLiteral(": reaches not every handler named");
}

QString Describe(QAction* action)
{
    if (action->isSeparator())
        return QStringLiteral("-");
    return action->isVisible() ? action->text() : action->text() + QStringLiteral(" (hidden)");
}

} // namespace

class MainWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { vxInitApplication(*qobject_cast<QApplication*>(QCoreApplication::instance())); }

    void menu_data();
    void menu();
    void tabs_data();
    void tabs();
    void captionAndAliasesAfterStart();
    void windowLayout();
    void messageHelpers();
    void formatting();
    void stringTable();
    void damagedAliasConfigurationShowsEngineError();
    void engineErrorTextsAreJoinedInOrder();
    void helpKeys();
    void helpMenuAndAbout();
    void closing();
    void connectionState();
    void everyInputHasAName();
    void tabWalksTheUpperHalfFirst();
    void everyMenuItemReachesItsMenusHandler();
    void everyControlEventReachesItsHandler();
    void toolkitSpeaksTheSystemLanguage();
};

void MainWindowTest::menu_data()
{
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QStringList>("items");
    QTest::newRow("Arquivo") << 0 << "&Arquivo"
                             << QStringList{"&Novo", "&Abrir", "&Salvar", "Salvar &como",
                                            QString::fromUtf8("Script a partir de com&paração..."), "-", "C&riar script",
                                            "&Executar script", "&Limpar script", "Commandos (hidden)", "-",
                                            "Documentos recen&tes", "-", "Sa&ir"};
    QTest::newRow("Editar") << 1 << "&Editar" << QStringList{"&Desfazer", "&Refazer"};
    QTest::newRow("Aliases") << 2 << "Alia&ses"
                             << QStringList{"&Abrir base de dados", "A&dicionar caminho", "&Novo", "Apagar no&vo"};
    QTest::newRow("Tabela") << 3 << "&Tabela"
                            << QStringList{"&Novo", "A&lterar", "&Incluir", "&Apagar", "-", "&Diagrama"};
    QTest::newRow("Campos") << 4 << "&Campos" << QStringList{"&Incluir", "A&lterar", "&Mover", "&Apagar"};
    QTest::newRow("Índices") << 5 << QString::fromUtf8("&Índices")
                             << QStringList{"&Incluir", "&Apagar", "-", "Inlcuir &campo", "Apagar ca&mpo",
                                            "Mover &p/ cima", "Movee p/ bai&xo"};
    QTest::newRow("Int. Ref.") << 6 << "&Int. Ref."
                               << QStringList{"&Incluir", "&Apagar", "-", "Incluir &campo", "Apagar ca&mpo"};
    QTest::newRow("Ajuda") << 7 << "Aj&uda"
                           << QStringList{QString::fromUtf8("&Conteúdo"), "-", "&Sobre Morvane"};
}

void MainWindowTest::menu()
{
    QFETCH(int, position);
    QFETCH(QString, title);
    QFETCH(QStringList, items);
    test::TempDir data;
    WindowUnderTest w(GoodConfig(data.path()));
    const QList<QAction*> menus = w.window->menuBar()->actions();
    QCOMPARE(menus.size(), 8);
    QMenu* menu = menus[position]->menu();
    QVERIFY(menu);
    QCOMPARE(menu->title(), title);
    const QList<QAction*> keyed{w.window->mnNew,  w.window->mnOpen, w.window->mnSave,          w.window->mnSaveAs,
                                w.window->mnUndo, w.window->mnRedo, w.window->mnHelpContents};
    QStringList actual;
    QSet<QChar> mnemonics;
    for (QAction* action : menu->actions()) {
        actual << Describe(action);
        // The desktop's standard keys, and only on the commands every editor has.
        QCOMPARE(action->shortcut().isEmpty(), !keyed.contains(action));
        // One mnemonic per letter in each menu.
        const qsizetype amp = action->text().indexOf(QLatin1Char('&'));
        if (amp >= 0 && action->isVisible()) {
            const QChar key = action->text().at(amp + 1).toLower();
            QVERIFY2(!mnemonics.contains(key), qPrintable(action->text()));
            mnemonics.insert(key);
        }
    }
    QCOMPARE(actual, items);
}

void MainWindowTest::tabs_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<QStringList>("captions");
    QTest::newRow("PageDatabase") << "PageDatabase"
                                  << QStringList{"Alias", QString::fromUtf8("Informações"), "Campos", "Indexes",
                                                 "Int. Ref."};
    QTest::newRow("PageNew") << "PageNew"
                             << QStringList{"Novo Alias", QString::fromUtf8("Informações"), "Campos", "Indexes",
                                            "Int. Ref."};
}

void MainWindowTest::tabs()
{
    QFETCH(QString, control);
    QFETCH(QStringList, captions);
    test::TempDir data;
    WindowUnderTest w(GoodConfig(data.path()));
    auto* tabs = w.window->findChild<QTabWidget*>(control);
    QVERIFY(tabs);
    QStringList actual;
    for (int i = 0; i < tabs->count(); ++i)
        actual << tabs->tabText(i);
    QCOMPARE(actual, captions);
    QCOMPARE(tabs->currentIndex(), 0);
}

void MainWindowTest::captionAndAliasesAfterStart()
{
    test::TempDir data;
    WindowUnderTest w(GoodConfig(data.path()));
    QCOMPARE(w.window->windowTitle(), QStringLiteral("Morvane for Paradox[*]"));
    QVERIFY(!w.window->Document.ScriptChanged);
    QVERIFY(w.window->Document.DocumentFileName.isEmpty());
    QVERIFY(w.prompts->Calls().empty());
    QStringList aliases;
    for (int i = 0; i < w.window->ComboAlias->count(); ++i)
        aliases << w.window->ComboAlias->itemText(i);
    QCOMPARE(aliases, (QStringList{"EXEMPLO", "VENDAS"}));
    QCOMPARE(w.window->ComboAlias->currentIndex(), -1);
    // No new table yet: the lower validation fields are empty and disabled.
    QVERIFY(!w.window->EditNewMin->isEnabled());
    QVERIFY(!w.window->CheckNewRequired->isEnabled());
    QCOMPARE(w.window->mnOpenDatabase->text(), QStringLiteral("&Abrir base de dados"));
    // The window's file dialogs.
    const QString documents = QStringLiteral("Arquivos do Morvane (vxscript)|*.vxscript");
    QCOMPARE(w.window->FileDialogs.Open.filter, documents);
    QCOMPARE(w.window->FileDialogs.Open.defaultSuffix, QStringLiteral("vxscript"));
    QVERIFY(!w.window->FileDialogs.Open.overwritePrompt);
    QCOMPARE(w.window->FileDialogs.Save.filter, documents);
    QCOMPARE(w.window->FileDialogs.Save.defaultSuffix, QStringLiteral("vxscript"));
    QVERIFY(w.window->FileDialogs.Save.overwritePrompt);
    QCOMPARE(w.window->FileDialogs.OpenScripts.filter,
             QString::fromUtf8("Scrip de atualização (VXUSP)|*.vxusp|Scrip de manuntenção (VXMSP)|*.vxmsp"));
    QVERIFY(w.window->FileDialogs.OpenScripts.defaultSuffix.isEmpty());
}

void MainWindowTest::windowLayout()
{
    test::TempDir data;
    WindowUnderTest w(GoodConfig(data.path()));
    TFormDBScript& window = *w.window;
    QVERIFY(!(window.windowFlags() & Qt::WindowMaximizeButtonHint));
    QVERIFY(window.windowFlags() & Qt::WindowMinimizeButtonHint);
    // The window's 8-point texts reach the controls of both halves.
    for (QWidget* control : {static_cast<QWidget*>(&window), static_cast<QWidget*>(window.Info.recordSize),
                             static_cast<QWidget*>(window.EditNewMin), static_cast<QWidget*>(window.PageNew)})
        QCOMPARE(control->font().pointSize(), 8);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    // No tab asks for more room than the window's 556 pixels of height, and none widens it
    // far beyond its 497 pixels.
    QCOMPARE(window.height(), 556);
    QVERIFY2(window.width() <= 560, qPrintable(QString::number(window.width())));
    // The status bar takes its line from the halves.
    QVERIFY2(qAbs(window.pnNew->height() - 254) <= window.statusBar()->height(),
             qPrintable(QString::number(window.pnNew->height())));
    QCOMPARE(window.DataSetList->width(), 120);
    QCOMPARE(window.ScriptTableListView->width(), 121);
    // The protected state sits beside the table type.
    for (auto [info, panel] : {std::pair{&window.Info, window.PanelProtected},
                               std::pair{&window.NewInfo, window.pnNewProtected}}) {
        auto* grid = qobject_cast<QGridLayout*>(panel->parentWidget()->layout());
        QVERIFY(grid);
        int typeRow, typeColumn, row, column, span;
        grid->getItemPosition(grid->indexOf(info->tableType), &typeRow, &typeColumn, &span, &span);
        grid->getItemPosition(grid->indexOf(panel), &row, &column, &span, &span);
        QCOMPARE(row, typeRow);
        QCOMPARE(column, typeColumn + 1);
    }
}

void MainWindowTest::messageHelpers()
{
    test::TempDir data;
    WindowUnderTest w(GoodConfig(data.path()));
    TFormDBScript& window = *w.window;
    const QString unknown = QStringLiteral("ERRO DESCONHECIDO. Informe ao suporte");

    QCOMPARE(TFormDBScript::LoadMessage(9999), QString());
    window.ShowMessageCode(9999);
    window.ShowMessageCode(114);
    QCOMPARE(w.prompts->Calls().size(), std::size_t(2));
    QCOMPARE(w.prompts->Calls()[0].text, unknown);
    QCOMPARE(w.prompts->Calls()[0].caption, QStringLiteral("Morvane"));
    QCOMPARE(w.prompts->Calls()[0].buttons, TvxMsgButtons::Ok);
    QCOMPARE(w.prompts->Calls()[1].text, QStringLiteral("O Nome do arquivo esta em branco"));
    // An execution error code reaches the user as its message.
    window.FileCommands().ExeScriptShowErrorMsg(294);
    QCOMPARE(w.prompts->Calls().back().text, QString::fromUtf8("O arquivo de script não foi encontrado"));
    QCOMPARE(w.prompts->Calls().back().caption, QStringLiteral("Morvane"));

    // A question without text shows id 0 with OK and counts as cancelled, whatever is answered.
    w.prompts->ClearCalls();
    w.prompts->QueueMessageAnswer(TvxMsgResult::Ok);
    QCOMPARE(window.AskMessage(9999, QStringLiteral("x"), TvxMsgButtons::YesNoCancel), TvxMsgResult::Cancel);
    QCOMPARE(w.prompts->Calls().back().text, unknown);
    QCOMPARE(w.prompts->Calls().back().buttons, TvxMsgButtons::Ok);

    // %S and %s take the argument; the pressed button comes back.
    w.prompts->QueueMessageAnswer(TvxMsgResult::Ok);
    QCOMPARE(window.AskMessage(109, QStringLiteral("CLIENTES"), TvxMsgButtons::OkCancel), TvxMsgResult::Ok);
    QCOMPARE(w.prompts->Calls().back().text,
             QString::fromUtf8("A tabela MESTRA CLIENTES da integridade referencial não foi encontrada na nova estrutura"));
    QCOMPARE(w.prompts->Calls().back().buttons, TvxMsgButtons::OkCancel);
    w.prompts->QueueMessageAnswer(TvxMsgResult::No);
    QCOMPARE(window.AskMessage(10027, QStringLiteral("ITENS.DB"), TvxMsgButtons::YesNoCancel), TvxMsgResult::No);
    QCOMPARE(w.prompts->Calls().back().text,
             QString::fromUtf8("A tabela ITENS.DB não foi encontrada no caminho atual"));
    QCOMPARE(window.AskMessage(123, QString(), TvxMsgButtons::Ok), TvxMsgResult::Ok);
    QCOMPARE(w.prompts->Calls().back().text, QStringLiteral("O Arquivo foi salvo com sucesso"));
    QCOMPARE(w.prompts->Calls().back().caption, QStringLiteral("Morvane"));
}

void MainWindowTest::formatting()
{
    QCOMPARE(TFormDBScript::FormatMessage(QStringLiteral("A %s B"), QString()), QStringLiteral("A  B"));
    QCOMPARE(TFormDBScript::FormatMessage(QStringLiteral("100%% %S"), QStringLiteral("x")), QStringLiteral("100% x"));
    // The argument is inserted as it is, never read as a format itself.
    QCOMPARE(TFormDBScript::FormatMessage(QStringLiteral("[%s]"), QStringLiteral("%s")), QStringLiteral("[%s]"));
    QCOMPARE(TFormDBScript::FormatMessage(QStringLiteral("fim %"), QStringLiteral("x")), QStringLiteral("fim %"));
}

void MainWindowTest::stringTable()
{
    // The numbered ranges: descriptor codes, editor messages, execution texts, labels, the
    // editor's own texts (notices, the run's texts, advice, list names) and the diagram's.
    const std::pair<int, int> ranges[] = {{0, 21},         {101, 127},     {293, 306},     {10001, 10029},
                                          {10100, 10100}, {10110, 10140}, {10150, 10158}, {10160, 10165},
                                          {10170, 10178}, {10201, 10224}};
    std::vector<int> expected;
    for (const auto& [first, last] : ranges)
        for (int id = first; id <= last; ++id)
            expected.push_back(id);
    QCOMPARE(vxStringIds(), expected);
    for (int id : expected)
        QVERIFY2(!vxLoadString(id).isEmpty(), qPrintable(QString::number(id)));
    QVERIFY(vxLoadString(10000).isEmpty());
    QVERIFY(vxLoadString(-1).isEmpty());
    QCOMPARE(vxLoadString(10011), QString::fromUtf8("NÃO PROTEGIDA"));
    QCOMPARE(vxLoadString(118), QStringLiteral("Selecione um campo na lista 'CAMPOS INDEXADOS'"));
    QCOMPARE(vxLoadString(294), QString::fromUtf8("O arquivo de script não foi encontrado"));
    // The update server's result codes read the same here as in its own report.
    for (int id = 293; id <= 306; ++id)
        QCOMPARE(vxLoadString(id), QString::fromUtf8(RunCodeText(id)));
    QCOMPARE(vxLoadString(10021), QStringLiteral("&Nome do Alias"));
}

void MainWindowTest::damagedAliasConfigurationShowsEngineError()
{
    WindowUnderTest w(QByteArray("[EXEMPLO]\nPATH=/tmp\n\x01\x02\xff garbage without equals\n", 40));
    QCOMPARE(w.prompts->Calls().size(), std::size_t(1));
    const TvxPromptCall& call = w.prompts->Calls().front();
    QCOMPARE(call.caption, QStringLiteral("Morvane Error"));
    QCOMPARE(call.kind, TvxMsgKind::Error);
    QCOMPARE(call.buttons, TvxMsgButtons::Ok);
    const QString prefix = QStringLiteral("Borland Database Engine retornou o seguinte erro: ");
    QVERIFY2(call.text.startsWith(prefix), qPrintable(call.text));
    QVERIFY(call.text.size() > prefix.size());
    // The window still opens, with an empty alias list and its caption.
    QCOMPARE(w.window->ComboAlias->count(), 0);
    QCOMPARE(w.window->windowTitle(), QStringLiteral("Morvane for Paradox[*]"));
    w.window->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.window.get()));
}

void MainWindowTest::engineErrorTextsAreJoinedInOrder()
{
    test::TempDir data;
    WindowUnderTest good(GoodConfig(data.path()));
    FailingSessionEngine engine(*good.engine, [] {
        throw EvxEngineError({{vxErrConfig, "Primeiro."}, {vxErrNotFound, "Segundo"}, {vxErrDirectory, " fim"}});
    });
    auto prompts = std::make_unique<TvxScriptedPrompts>();
    TvxScriptedPrompts& calls = *prompts;
    TFormDBScriptPOR window(engine, std::move(prompts), std::make_unique<RecordingHelp>());
    QCOMPARE(calls.Calls().size(), std::size_t(1));
    QCOMPARE(calls.Calls().front().text,
             QStringLiteral("Borland Database Engine retornou o seguinte erro: Primeiro.Segundo fim"));
    QCOMPARE(calls.Calls().front().caption, QStringLiteral("Morvane Error"));
    // The step that failed fills nothing.
    QCOMPARE(window.ComboAlias->count(), 0);
    QCOMPARE(window.windowTitle(), QStringLiteral("Morvane for Paradox[*]"));

    // Any other failure is not the window's to show.
    FailingSessionEngine broken(*good.engine, [] { throw std::runtime_error("outra falha"); });
    QVERIFY_THROWS_EXCEPTION(std::runtime_error,
                             TFormDBScriptPOR(broken, std::make_unique<TvxScriptedPrompts>(),
                                              std::make_unique<RecordingHelp>()));
}

void MainWindowTest::helpKeys()
{
    test::TempDir data;
    WindowUnderTest w(GoodConfig(data.path()));
    w.window->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.window.get()));

    QTest::keyClick(w.window.get(), Qt::Key_F1);
    QCOMPARE(w.help->calls, QStringList{"context 0"});
    QTest::keyClick(w.window.get(), Qt::Key_F1, Qt::ShiftModifier);
    QCOMPARE(w.help->calls, (QStringList{"context 0", "context 0"}));
    w.help->calls.clear();
    QTest::keyClick(w.window.get(), Qt::Key_F1, Qt::AltModifier);
    QCOMPARE(w.help->calls, QStringList{"search"});
    w.help->calls.clear();
    QTest::keyClick(w.window.get(), Qt::Key_F1, Qt::ControlModifier);
    QTest::keyClick(w.window.get(), Qt::Key_F1, Qt::ControlModifier | Qt::AltModifier);
    QTest::keyClick(w.window.get(), Qt::Key_F2);
    QVERIFY(w.help->calls.isEmpty());

    // A key typed into a control reaches the help once, and the control still gets its keys.
    QTest::keyClick(w.window->EditNewAlias, Qt::Key_F1);
    QCOMPARE(w.help->calls, QStringList{"context 0"});
    w.window->HelpContext = 12;
    QTest::keyClick(w.window->ComboAlias, Qt::Key_F1);
    QCOMPARE(w.help->calls.last(), QStringLiteral("context 12"));
    QCOMPARE(w.help->calls.size(), 2);
}

void MainWindowTest::helpMenuAndAbout()
{
    test::TempDir data;
    WindowUnderTest w(GoodConfig(data.path()));
    w.window->mnHelpContents->trigger();
    QCOMPARE(w.help->calls, QStringList{"context 0"});
    w.window->mnHelpAbout->trigger();
    QCOMPARE(w.prompts->Calls().size(), std::size_t(1));
    QCOMPARE(w.prompts->Calls().front().what, QStringLiteral("ShowAbout"));
}

void MainWindowTest::closing()
{
    test::TempDir data;
    {
        // No change: closes at once, without a question, and the help window goes with it.
        WindowUnderTest w(GoodConfig(data.path()));
        w.window->show();
        w.window->mnExit->trigger();
        QVERIFY(!w.window->isVisible());
        QVERIFY(w.prompts->Calls().empty());
        QCOMPARE(w.help->calls, QStringList{"quit"});
    }
    {
        WindowUnderTest w(GoodConfig(data.path()));
        w.window->show();
        w.window->Document.ScriptChanged = true;
        w.prompts->QueueMessageAnswer(TvxMsgResult::Cancel);
        w.window->mnExit->trigger();
        QVERIFY(w.window->isVisible());
        QCOMPARE(w.prompts->Calls().back().text, QStringLiteral("O Script esta alterado! Salvar?"));
        QCOMPARE(w.prompts->Calls().back().buttons, TvxMsgButtons::YesNoCancel);
        QVERIFY(w.help->calls.isEmpty());
        // Yes whose save does not happen keeps the window open: the changes are not lost.
        w.prompts->QueueMessageAnswer(TvxMsgResult::Yes);
        QVERIFY(!w.window->close());
        QVERIFY(w.window->isVisible());
        QVERIFY(w.window->Document.ScriptChanged);
        QVERIFY(w.help->calls.isEmpty());
        w.prompts->QueueMessageAnswer(TvxMsgResult::No);
        QVERIFY(w.window->close());
        QVERIFY(!w.window->isVisible());
        QCOMPARE(w.help->calls, QStringList{"quit"});
    }
}

void MainWindowTest::connectionState()
{
    test::TempDir data;
    WindowUnderTest w(GoodConfig(data.path()));
    w.window->Database().OnConnected(true);
    QCOMPARE(w.window->mnOpenDatabase->text(), QStringLiteral("&Close Database"));
    QVERIFY(!w.window->ComboAlias->isEnabled());
    QVERIFY(!w.window->BtnPath->isEnabled());
    QVERIFY(!w.window->mnAliasAddPath->isEnabled());
    w.window->Database().OnConnected(false);
    QCOMPARE(w.window->mnOpenDatabase->text(), QStringLiteral("&Open Database"));
    QVERIFY(w.window->ComboAlias->isEnabled());
    QVERIFY(w.window->BtnPath->isEnabled());
    QVERIFY(w.window->mnAliasAddPath->isEnabled());

    // The engine's password question: Cancel gives up, OK retries.
    QVERIFY(!w.window->Database().OnPassword(w.window->Database()));
    QCOMPARE(w.prompts->Calls().back().caption, QStringLiteral("Entre a senha"));
    QCOMPARE(w.prompts->Calls().back().text, QStringLiteral("Senha:"));
    w.prompts->QueueText(QStringLiteral("segredo"));
    QVERIFY(w.window->Database().OnPassword(w.window->Database()));
}

void MainWindowTest::everyInputHasAName()
{
    test::TempDir data;
    WindowUnderTest w(GoodConfig(data.path()));
    QSet<QWidget*> buddies;
    for (QLabel* label : w.window->findChildren<QLabel*>())
        if (label->buddy() && !label->text().isEmpty())
            buddies.insert(label->buddy());
    QList<QWidget*> inputs;
    for (auto* widget : w.window->findChildren<QLineEdit*>())
        if (!qobject_cast<QComboBox*>(widget->parentWidget()))
            inputs << widget;
    for (auto* widget : w.window->findChildren<QComboBox*>())
        inputs << widget;
    for (auto* widget : w.window->findChildren<QAbstractItemView*>())
        if (widget->objectName().size() > 0)
            inputs << widget;
    for (auto* widget : w.window->findChildren<QAbstractButton*>())
        if (!widget->objectName().isEmpty())
            inputs << widget;
    for (QWidget* widget : inputs) {
        if (widget->objectName().startsWith(QLatin1String("qt_")))
            continue;   // the toolkit's own helpers
        const auto* button = qobject_cast<QAbstractButton*>(widget);
        const bool named = buddies.contains(widget) || !widget->accessibleName().isEmpty() ||
                           (button && !button->text().isEmpty() && button->text() != QStringLiteral("..."));
        QVERIFY2(named, qPrintable(widget->objectName()));
    }
    // No two lists share a name.
    QSet<QString> listNames;
    for (auto* list : w.window->findChildren<QAbstractItemView*>())
        if (!list->objectName().isEmpty() && !list->objectName().startsWith(QLatin1String("qt_")) &&
            !qobject_cast<QComboBox*>(list->parentWidget())) {
            QVERIFY2(!listNames.contains(list->accessibleName()), qPrintable(list->objectName()));
            listNames.insert(list->accessibleName());
        }
}

void MainWindowTest::tabWalksTheUpperHalfFirst()
{
    test::TempDir data;
    WindowUnderTest w(GoodConfig(data.path()));
    TFormDBScript& window = *w.window;
    QList<QWidget*> chain;
    for (QWidget* widget = window.DataSetList; chain.isEmpty() || widget != window.DataSetList;
         widget = widget->nextInFocusChain())
        chain << widget;
    const QList<QWidget*> expected{window.DataSetList,  window.PageDatabase, window.ComboAlias,
                                   window.EditPath,     window.BtnPath,      window.FieldsList,
                                   window.EditMin,      window.ListIndex,    window.RefIntList,
                                   window.EditUpdateRule, window.ScriptTableListView, window.PageNew,
                                   window.EditNewAlias, window.BtnPathNew,   window.SpdBtnPW,
                                   window.FieldGrid,    window.EditNewMin,   window.CheckNewRequired,
                                   window.NewIdxFieldsList, window.NewIdxList, window.CheckNewDesc,
                                   window.NewRIntList,  window.ComboTables,  window.RadioNewRuleProhibit};
    qsizetype last = -1;
    for (QWidget* widget : expected) {
        const qsizetype at = chain.indexOf(widget);
        QVERIFY2(at > last, qPrintable(widget->objectName()));
        last = at;
    }
    // Tab itself passes the read-only fields by: from the table list it reaches the lower half
    // in a few steps without stopping at one.
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    window.DataSetList->setFocus();
    for (int i = 0; i < 8 && !window.pnNew->isAncestorOf(QApplication::focusWidget()); ++i) {
        QVERIFY(QApplication::focusWidget());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        const QWidget* focused = QApplication::focusWidget();
        const auto* edit = qobject_cast<const QLineEdit*>(focused);
        QVERIFY2(!edit || !edit->isReadOnly(), qPrintable(focused->objectName()));
    }
    QVERIFY(window.pnNew->isAncestorOf(QApplication::focusWidget()));
}

void MainWindowTest::everyMenuItemReachesItsMenusHandler()
{
    test::TempDir data;
    WindowUnderTest w(GoodConfig(data.path()));
    TFormDBScript& window = *w.window;
    const std::pair<QMenu*, QString> menus[] = {
        {window.mnFile, "file"},       {window.mnAliases, "alias"}, {window.mnTable, "table"},
        {window.mnFields, "field"},    {window.mnIndexes, "index"}, {window.mnRefInt, "refInt"},
        {window.mnHelp, "help"},       {window.mnEdit, "edit"}};
    QCOMPARE(window.menuBar()->actions().size(), qsizetype(std::size(menus)));
    const QMetaMethod triggered = QMetaMethod::fromSignal(&QAction::triggered);
    int items = 0;
    for (const auto& [menu, handler] : menus) {
        QVERIFY(window.menuBar()->actions().contains(menu->menuAction()));
        for (QAction* action : menu->actions()) {
            // The recent documents' submenu is wired by its own list.
            if (action->isSeparator() || action->menu())
                continue;
            ++items;
            QVERIFY(IsConnected(action, triggered));
            const QString fault =
                CheckWired(window, action, triggered, action == window.mnDiagram ? QStringLiteral("diagram") : handler);
            QVERIFY2(fault.isEmpty(), qPrintable(fault));
        }
    }
    QCOMPARE(items, 37);
}

void MainWindowTest::everyControlEventReachesItsHandler()
{
    test::TempDir data;
    WindowUnderTest w(GoodConfig(data.path()));
    TFormDBScript& window = *w.window;
    struct Event
    {
        QObject* sender;
        const char* signal;
        const char* handler;
    };
    const char* const clicked = "clicked(bool)";
    const char* const itemSelected = "currentItemChanged(QTreeWidgetItem*,QTreeWidgetItem*)";
    const Event events[] = {
        {window.ComboAlias, "activated(int)", "alias"},
        {window.BtnPath, clicked, "alias"},
        {window.BtnPathNew, clicked, "alias"},
        {window.SpdBtnPW, clicked, "alias"},
        {window.DataSetList, "OnChange(QObject*)", "table+diagram"},
        {window.DataSetList, "OnClick()", "table"},
        // A new table's panels, and the validation of the field its grid shows.
        {window.ScriptTableListView, "Changed()", "table+field"},
        {window.ScriptTableListView, "OnClick()", "table+field"},
        {window.FieldGrid, "OnSelectField(int)", "field"},
        {window.FieldsList, itemSelected, "field"},
        {window.EditNewMin, "textEdited(QString)", "field"},
        {window.EditNewMax, "textEdited(QString)", "field"},
        {window.EditNewDefault, "textEdited(QString)", "field"},
        {window.EditNewPicture, "textEdited(QString)", "field"},
        {window.EditNewMin, "editingFinished()", "field"},
        {window.EditNewMax, "editingFinished()", "field"},
        {window.EditNewDefault, "editingFinished()", "field"},
        {window.EditNewPicture, "editingFinished()", "field"},
        {window.CheckNewRequired, clicked, "field"},
        {window.SpdBtnIdxAdd, clicked, "index"},
        {window.SpdBtnIdxDel, clicked, "index"},
        {window.SpdBtnIdxAddField, clicked, "index"},
        {window.SpdBtnIdxDelField, clicked, "index"},
        {window.SpdBtnIdxMoveUp, clicked, "index"},
        {window.SpdBtnIdxMoveDown, clicked, "index"},
        {window.CheckNewUnique, clicked, "index"},
        {window.CheckNewMaint, clicked, "index"},
        {window.CheckNewCaseInsens, clicked, "index"},
        {window.CheckNewDesc, clicked, "index"},
        {window.ListIndex, itemSelected, "index"},
        {window.NewIdxList, itemSelected, "index"},
        {window.NewIdxList, "itemChanged(QTreeWidgetItem*,int)", "index"},
        {window.SpdBtnRIntAdd, clicked, "refInt"},
        {window.SpdBtnRIntDel, clicked, "refInt"},
        {window.SpdBtnRIntFieldAdd, clicked, "refInt"},
        {window.SpdBtnRIntFieldDel, clicked, "refInt"},
        {window.RefIntList, itemSelected, "refInt"},
        {window.NewRIntList, "currentRowChanged(int)", "refInt"},
        {window.NewRIntList, "itemChanged(QListWidgetItem*)", "refInt"},
        {window.ComboTables, "OnCloseUp(QObject*)", "refInt"},
        {window.RadioNewRuleCascade, clicked, "refInt"},
        {window.RadioNewRuleProhibit, clicked, "refInt"},
        {window.CheckNewSRI, clicked, "refInt"},
    };
    // Every button and drop-down list of the window is among them, but the hidden picture button
    // and language-driver list that no command uses.
    QSet<QObject*> listed;
    for (const Event& event : events)
        listed.insert(event.sender);
    const QSet<QString> unused{"BtnNewPicture", "ComboNewLangDriver"};
    QList<QWidget*> controls;
    for (QAbstractButton* button : window.findChildren<QAbstractButton*>())
        controls << button;
    for (QComboBox* combo : window.findChildren<QComboBox*>())
        controls << combo;
    for (QWidget* control : controls) {
        const QString name = control->objectName();
        // The toolkit's own buttons (tab scrolling and the like) are none of the window's.
        if (name.isEmpty() || name.startsWith(QLatin1String("qt_")) || unused.contains(name) ||
            qobject_cast<QTabBar*>(control->parentWidget()))
            continue;
        QVERIFY2(listed.contains(control), qPrintable(name));
    }
    for (const Event& event : events) {
        const QString fault =
            CheckWired(window, event.sender, Signal(event.sender, event.signal), QLatin1String(event.handler));
        QVERIFY2(fault.isEmpty(), qPrintable(fault));
    }
}

// Last: the translation stays loaded for the rest of the program.
void MainWindowTest::toolkitSpeaksTheSystemLanguage()
{
    auto& app = *qobject_cast<QApplication*>(QCoreApplication::instance());
    QVERIFY(!vxLoadToolkitTranslation(app, QLocale(QLocale::Zulu)));
    QVERIFY(vxLoadToolkitTranslation(app, QLocale(QLocale::Portuguese, QLocale::Brazil)));
    QCOMPARE(QCoreApplication::translate("QFileDialog", "Find Directory"), QStringLiteral("Localizar a pasta"));
}

QTEST_MAIN(MainWindowTest)
#include "MainWindowTest.moc"
