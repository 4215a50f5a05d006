// The "Alia&ses" commands of the real main window on real Paradox tables: the source and target
// databases the script records, opening and closing the source (captions, enabled controls,
// the tables listed), the engine's password question, the retry on an empty source, the
// creation of a missing directory, and the password of a new table ("&Senha").

#include "editor/TvxAliasCommands.h"
#include "editor/TvxMessages.h"
#include "editor/TvxDelayedProgress.h"
#include "script/EvxAbort.h"
#include "support/SamplePath.h"
#include "SourceWindow.h"

#include <QDir>
#include <QLineEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QToolButton>

using namespace morvane;
using namespace morvane::test;

namespace {

const QString kOpen = QStringLiteral("&Open Database");
const QString kClose = QStringLiteral("&Close Database");

// Whether the alias controls allow choosing another source.
bool SourceChoosable(const TFormDBScript& w)
{
    const bool combo = w.ComboAlias->isEnabled();
    if (combo != w.BtnPath->isEnabled() || combo != w.mnAliasAddPath->isEnabled())
        qWarning("the alias controls disagree");
    return combo;
}

} // namespace

class AliasCommandsTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { vxInitApplication(*qobject_cast<QApplication*>(QCoreApplication::instance())); }
    void recordedCommands_data();
    void recordedCommands();
    void openAndCloseTheSource();
    void protectedTableAsksForItsPassword();
    void emptySourceIsRetriedWithTheChosenDirectory();
    void missingDirectoryIsCreatedAfterConfirmation();
    void newTablePassword_data();
    void newTablePassword();
    void longConnectShowsProgressAndCanBeCancelled();
    void documentOpensItsSourceAndShowsItsTarget();
};

// Each step: "alias NAME" chooses an alias; "path DIR" answers "&Adicionar caminho"; "target DIR"
// answers the "..." of "Novo Alias"; "new NAME" answers "&Novo" of "Alia&ses"; "delete" is
// "&Apagar novo". DIR "@" stands for the example database's directory, "#" for the test's own.
void AliasCommandsTest::recordedCommands_data()
{
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QStringList>("commands");
    QTest::addColumn<QStringList>("fields");   // EditPath, EditNewAlias, EditNewDrive, EditNewPath
    QTest::newRow("alias") << QStringList{"alias EXEMPLO"} << QStringList{"Add alias ->  EXEMPLO STANDARD @"}
                           << QStringList{"@", "", "", ""};
    QTest::newRow("path twice keeps one source")
        << QStringList{"path #", "path @"} << QStringList{"Add alias ->   STANDARD @"} << QStringList{"@", "", "", ""};
    QTest::newRow("alias after path") << QStringList{"path #", "alias EXEMPLO"}
                                      << QStringList{"Add alias ->  EXEMPLO STANDARD @"}
                                      << QStringList{"@", "", "", ""};
    QTest::newRow("target directory")
        << QStringList{"target #"} << QStringList{"Add new alias ->   STANDARD #"} << QStringList{"", "", "", "#"};
    QTest::newRow("new alias, driver always standard")
        << QStringList{"target #", "new CLIENTE"} << QStringList{"Add new alias ->  CLIENTE STANDARD "}
        << QStringList{"", "CLIENTE", "STANDARD", ""};
    QTest::newRow("delete new") << QStringList{"new CLIENTE", "delete"} << QStringList{}
                                << QStringList{"", "", "", ""};
    QTest::newRow("delete without new") << QStringList{"alias EXEMPLO", "delete"}
                                        << QStringList{"Add alias ->  EXEMPLO STANDARD @"}
                                        << QStringList{"@", "", "", ""};
    QTest::newRow("target first in the script")
        << QStringList{"path @", "target #"}
        << QStringList{"Add new alias ->   STANDARD #", "Add alias ->   STANDARD @"} << QStringList{"@", "", "", "#"};
}

void AliasCommandsTest::recordedCommands()
{
    QFETCH(QStringList, steps);
    QFETCH(QStringList, commands);
    QFETCH(QStringList, fields);
    SourceWindow s;
    TFormDBScript& w = s.w();
    const QString own = QDir::cleanPath(QString::fromStdString(s.dir.str()));
    const auto place = [&](QString text) {
        return text.replace(QLatin1Char('@'), ExampleDir()).replace(QLatin1Char('#'), own);
    };
    bool changes = false;
    for (const QString& step : steps) {
        const QString verb = step.section(QLatin1Char(' '), 0, 0);
        const QString arg = place(step.section(QLatin1Char(' '), 1));
        if (verb == QLatin1String("alias")) {
            s.ChooseAlias(arg);
        } else if (verb == QLatin1String("path")) {
            s.prompts->QueueText(arg);
            w.mnAliasAddPath->trigger();
        } else if (verb == QLatin1String("target")) {
            s.prompts->QueueText(arg);
            w.BtnPathNew->click();
        } else if (verb == QLatin1String("new")) {
            s.prompts->ClearCalls();
            s.prompts->QueueText(arg);
            w.mnAliasNewAdd->trigger();
            // The name is asked with the drivers of the session "SessionNew" in the list.
            const TvxPromptCall& call = s.prompts->Calls().front();
            QCOMPARE(call.what, QStringLiteral("EnterNameWithList"));
            QCOMPARE((QStringList{call.caption, call.text, call.extra.value(0)}),
                     (QStringList{"Ler nome do alias", "&Nome do Alias", "Drives"}));
            QCOMPARE(call.extra.value(1), QStringLiteral("STANDARD"));
        } else {
            w.mnAliasNewDelete->trigger();
        }
        changes = true;
    }
    QCOMPARE(s.prompts->Unanswered(), 0);
    QStringList expected;
    for (const QString& line : commands)
        expected << place(line);
    QCOMPARE(s.Commands(), expected);
    QCOMPARE((QStringList{w.EditPath->text(), w.EditNewAlias->text(), w.EditNewDrive->text(), w.EditNewPath->text()}),
             (QStringList{place(fields[0]), fields[1], fields[2], place(fields[3])}));
    QCOMPARE(w.Document.ScriptChanged, changes);
    // No step opened the source.
    QVERIFY(!w.Database().Connected());
}

void AliasCommandsTest::openAndCloseTheSource()
{
    SourceWindow s;
    TFormDBScript& w = s.w();
    QCOMPARE(w.mnOpenDatabase->text(), QStringLiteral("&Abrir base de dados"));
    s.Open();
    QCOMPARE(w.mnOpenDatabase->text(), kClose);
    QVERIFY(!SourceChoosable(w));
    QCOMPARE(s.CurrentTables(), (QStringList{"CLIENTES", "ITENS", "PEDIDOS", "PRODUTOS"}));
    QVERIFY(s.Asked().isEmpty());

    w.mnOpenDatabase->trigger();
    QCOMPARE(w.mnOpenDatabase->text(), kOpen);
    QVERIFY(SourceChoosable(w));
    QVERIFY(s.CurrentTables().isEmpty());
    QVERIFY(!w.Database().Connected());
    // Opening and closing change nothing of the script.
    QCOMPARE(s.Commands().size(), 1);

    // The source the script records is the one opened, whatever the controls show.
    s.prompts->QueueText(QDir::cleanPath(QString::fromStdString(s.dir.str())));
    w.mnAliasAddPath->trigger();
    s.prompts->QueueText({});   // the empty directory: the retry is cancelled
    w.mnOpenDatabase->trigger();
    QCOMPARE(w.mnOpenDatabase->text(), kClose);
    QVERIFY(s.CurrentTables().isEmpty());
}

void AliasCommandsTest::protectedTableAsksForItsPassword()
{
    SourceWindow s({"pd-encrypt/encrypted.db", "pd-joins/A.db"});
    TFormDBScript& w = s.w();
    s.ChooseAlias(QStringLiteral("AMOSTRA"));
    s.Asked();

    // Cancel skips that table only: listed as protected, and the other tables open.
    s.prompts->QueueText(std::nullopt);
    w.mnOpenDatabase->trigger();
    QCOMPARE(s.prompts->Calls().front().caption, QStringLiteral("Entre a senha: encrypted.db"));
    QCOMPARE(s.Asked(), QStringList{"EnterPassword: Senha:"});
    QVERIFY(w.Database().Connected());
    QCOMPARE(s.CurrentTables(), (QStringList{"A", "encrypted"}));
    QVERIFY(s.SelectCurrent(QStringLiteral("encrypted")));
    QCOMPARE(w.PanelProtected->text(), vxLoadString(10010));
    w.mnOpenDatabase->trigger();
    QVERIFY(!w.Database().Connected());

    // A wrong password is said so and asked again; the right one opens every table.
    s.prompts->QueueText(QStringLiteral("errada"));
    s.prompts->QueueText(QStringLiteral("123"));
    w.mnOpenDatabase->trigger();
    const QString wrong = QStringLiteral("Message: ") + TvxMessages::FormatMessage(vxLoadString(10140), "encrypted.db");
    QCOMPARE(s.Asked(), (QStringList{"EnterPassword: Senha:", wrong, "EnterPassword: Senha:"}));
    QCOMPARE(s.CurrentTables(), (QStringList{"A", "encrypted"}));
    QVERIFY(s.SelectCurrent(QStringLiteral("encrypted")));
    QCOMPARE(w.PanelProtected->text(), vxLoadString(10010));
    QCOMPARE(w.AliasCommands().Passwords(), (std::vector<std::string>{"errada", "123"}));

    // The session keeps the password: closing and opening again asks nothing.
    w.mnOpenDatabase->trigger();
    w.mnOpenDatabase->trigger();
    QVERIFY(s.Asked().isEmpty());
    QCOMPARE(s.CurrentTables().size(), 2);
}

void AliasCommandsTest::emptySourceIsRetriedWithTheChosenDirectory()
{
    SourceWindow s;
    TFormDBScript& w = s.w();
    const QString empty = QString::fromStdString(s.dir.file("vazio"));
    QVERIFY(QDir().mkpath(empty));
    s.prompts->QueueText(empty);
    w.mnAliasAddPath->trigger();
    w.Document.ScriptChanged = false;
    s.Asked();

    // Said so first; the directory confirmed becomes the script's source, and the retry lists
    // its tables.
    s.prompts->QueueMessageAnswer(TvxMsgResult::Ok);
    s.prompts->QueueText(ExampleDir());
    w.mnOpenDatabase->trigger();
    QCOMPARE(s.prompts->Calls().front().text,
             TvxMessages::FormatMessage(vxLoadString(10155), QDir::toNativeSeparators(empty)));
    const TvxPromptCall& call = s.prompts->Calls().at(1);
    QCOMPARE(call.what, QStringLiteral("ChooseDirectory"));
    QCOMPARE(call.caption, empty);           // started at the source's directory
    QCOMPARE(call.text, QStringLiteral("1000"));
    QVERIFY(!call.flag);                     // no creation here
    QCOMPARE(s.prompts->Calls().size(), std::size_t(2));
    QCOMPARE(s.CurrentTables().size(), 4);
    QCOMPARE(s.Commands(), QStringList{"Add alias ->   STANDARD " + ExampleDir()});
    QCOMPARE(w.EditPath->text(), ExampleDir());
    QVERIFY(w.Document.ScriptChanged);
    QCOMPARE(w.mnOpenDatabase->text(), kClose);
    s.Asked();

    // A directory without tables is offered again; Cancel leaves the source open and empty.
    w.mnOpenDatabase->trigger();
    s.prompts->QueueText(empty);
    w.mnAliasAddPath->trigger();
    for (int i = 0; i < 3; ++i)
        s.prompts->QueueMessageAnswer(TvxMsgResult::Ok);
    s.prompts->QueueText(empty);
    s.prompts->QueueText(std::nullopt);
    w.mnOpenDatabase->trigger();
    QCOMPARE(s.Asked().filter(QStringLiteral("ChooseDirectory")),
             (QStringList{"ChooseDirectory: 1000", "ChooseDirectory: 1000", "ChooseDirectory: 1000"}));
    QVERIFY(w.Database().Connected());
    QVERIFY(s.CurrentTables().isEmpty());
    QCOMPARE(w.mnOpenDatabase->text(), kClose);
}

void AliasCommandsTest::missingDirectoryIsCreatedAfterConfirmation()
{
    SourceWindow s;
    TFormDBScript& w = s.w();
    const QString missing = QString::fromStdString(s.dir.file("novo/destino"));

    s.prompts->QueueText(missing);
    s.prompts->QueueMessageAnswer(TvxMsgResult::Cancel);
    w.BtnPathNew->click();
    QVERIFY(!QDir(missing).exists());
    QVERIFY(s.Commands().isEmpty());
    QVERIFY(!w.Document.ScriptChanged);
    const TvxPromptCall& asked = s.prompts->Calls().front();
    QCOMPARE(asked.what, QStringLiteral("ChooseDirectory"));
    QVERIFY(asked.flag);   // creation allowed from the "..." buttons
    QVERIFY(s.prompts->Calls().back().text.contains(QDir::toNativeSeparators(missing)));
    s.Asked();

    s.prompts->QueueText(missing);
    s.prompts->QueueMessageAnswer(TvxMsgResult::Ok);
    w.BtnPathNew->click();
    QVERIFY(QDir(missing).exists());
    QCOMPARE(s.Commands(), QStringList{"Add new alias ->   STANDARD " + missing});
    QCOMPARE(w.EditNewPath->text(), missing);

    // A directory that cannot be made is reported and recorded nowhere.
    s.dir.write("arquivo", "x");
    const QString impossible = QString::fromStdString(s.dir.file("arquivo/sub"));
    s.prompts->QueueText(impossible);
    s.prompts->QueueMessageAnswer(TvxMsgResult::Ok);
    w.BtnPath->click();
    QCOMPARE(s.prompts->Calls().back().kind, TvxMsgKind::Error);
    QCOMPARE(s.Commands().size(), 1);
    QVERIFY(w.EditPath->text().isEmpty());
}

// Steps on the selected new table: a password entered ("" for none), or "-" for Cancel.
void AliasCommandsTest::newTablePassword_data()
{
    QTest::addColumn<bool>("protectedBefore");
    QTest::addColumn<QStringList>("entered");
    QTest::addColumn<QString>("recorded");   // the "Add password" command left, or ""
    QTest::addColumn<bool>("protectedAfter");
    QTest::newRow("set") << false << QStringList{"abc"} << "Add password ->  NOVA abc" << true;
    QTest::newRow("replace") << false << QStringList{"abc", "xyz"} << "Add password ->  NOVA xyz" << true;
    QTest::newRow("remove") << false << QStringList{"abc", ""} << "" << false;
    QTest::newRow("empty without recorded only clears the flag") << true << QStringList{""} << "" << false;
    QTest::newRow("cancel") << true << QStringList{"-"} << "" << true;
    QTest::newRow("cancel keeps the recorded") << false << QStringList{"abc", "-"} << "Add password ->  NOVA abc"
                                               << true;
}

void AliasCommandsTest::newTablePassword()
{
    QFETCH(bool, protectedBefore);
    QFETCH(QStringList, entered);
    QFETCH(QString, recorded);
    QFETCH(bool, protectedAfter);
    SourceWindow s;
    TFormDBScript& w = s.w();

    s.prompts->QueueText(ExampleDir());
    w.mnAliasAddPath->trigger();
    s.prompts->QueueText(QStringLiteral("NOVA"));
    w.mnTableNew->trigger();
    s.NewTable(QStringLiteral("NOVA"))->SetProtected(protectedBefore);
    w.Document.ScriptChanged = false;
    const int before = static_cast<int>(s.Commands().size());
    s.Asked();

    for (const QString& text : entered) {
        s.prompts->QueueText(text == QLatin1String("-") ? std::nullopt : std::optional<QString>(text));
        w.SpdBtnPW->click();
    }
    const QStringList asked = s.Asked();
    QCOMPARE(asked.size(), entered.size());
    for (const QString& question : asked)
        QCOMPARE(question, QStringLiteral("EnterPassword: &Nova senha"));
    QCOMPARE(s.prompts->Unanswered(), 0);
    const QStringList commands = s.Commands().mid(before);
    QCOMPARE(commands, recorded.isEmpty() ? QStringList() : QStringList{recorded});
    QCOMPARE(s.NewTable(QStringLiteral("NOVA"))->Protected(), protectedAfter);
    const bool cancelledOnly = entered == QStringList{"-"};
    if (!cancelledOnly)
        QCOMPARE(w.pnNewProtected->text(), vxLoadString(protectedAfter ? 10010 : 10011));
    // A password set or removed is a change to save; a cancelled question is none.
    QCOMPARE(w.Document.ScriptChanged, !cancelledOnly);
}

void AliasCommandsTest::longConnectShowsProgressAndCanBeCancelled()
{
    QWidget parent;
    {
        // Short work shows nothing.
        TvxDelayedProgress progress(&parent, QStringLiteral("Lendo"), 60000);
        for (int i = 0; i <= 100; ++i)
            progress.Step(i, 100);
        QVERIFY(!progress.Shown());
    }
    TvxDelayedProgress progress(&parent, QStringLiteral("Lendo"), 0);
    progress.Step(1, 5000);
    QVERIFY(progress.Shown());
    auto* dialog = parent.findChild<QProgressDialog*>();
    QVERIFY(dialog);
    QCOMPARE(dialog->maximum(), 5000);
    dialog->cancel();
    QVERIFY_THROWS_EXCEPTION(EvxAbort, progress.Step(5000, 5000));

    // Connecting reports each table read to the progress, which is unhooked afterwards; an
    // abort from it ends the reading with the list unfilled.
    SourceWindow s;
    TFormDBScript& w = s.w();
    s.Open();
    QVERIFY(!w.Database().OnReadProgress);
    w.mnOpenDatabase->trigger();
    QList<int> reported;
    w.Database().OnReadProgress = [&](int done, int total) {
        reported << done;
        QCOMPARE(total, 4);
        if (done == 2)
            throw EvxAbort();
    };
    QVERIFY_THROWS_EXCEPTION(EvxAbort, w.Database().SetConnected(true));
    QCOMPARE(reported, (QList<int>{0, 1, 2}));
    QVERIFY(s.CurrentTables().isEmpty());
}

void AliasCommandsTest::documentOpensItsSourceAndShowsItsTarget()
{
    SourceWindow s;
    TFormDBScript& w = s.w();
    const QString empty = QString::fromStdString(s.dir.file("vazio"));
    const QString target = QString::fromStdString(s.dir.file("destino"));
    QVERIFY(QDir().mkpath(empty) && QDir().mkpath(target));
    const QString withAlias = QString::fromStdString(s.dir.file("alias.vxscript"));
    const QString withEmpty = QString::fromStdString(s.dir.file("vazio.vxscript"));

    // Two documents: one on the alias, one on a directory without tables; both with a target.
    s.prompts->QueueText(target);
    w.BtnPathNew->click();
    s.ChooseAlias(QStringLiteral("EXEMPLO"));
    s.prompts->QueueText(withAlias);
    w.mnSaveAs->trigger();
    s.prompts->QueueText(empty);
    w.mnAliasAddPath->trigger();
    s.prompts->QueueText(withEmpty);
    w.mnSaveAs->trigger();
    QVERIFY(!w.Document.ScriptChanged);
    s.Asked();

    s.prompts->QueueText(withAlias);
    w.mnOpen->trigger();
    QVERIFY(w.Database().Connected());
    QCOMPARE(w.mnOpenDatabase->text(), kClose);
    QCOMPARE(s.CurrentTables().size(), 4);
    QCOMPARE(w.ComboAlias->currentText(), QStringLiteral("EXEMPLO"));
    QCOMPARE(w.EditPath->text(), ExampleDir());
    QCOMPARE(w.EditNewPath->text(), target);
    QVERIFY(w.EditNewAlias->text().isEmpty());

    // An empty source offers the directory choice while the document is read; the directory
    // chosen replaces the document's source.
    s.prompts->QueueText(withEmpty);
    s.prompts->QueueMessageAnswer(TvxMsgResult::Ok);
    s.prompts->QueueText(ExampleDir());
    w.mnOpen->trigger();
    QCOMPARE(s.prompts->Unanswered(), 0);
    QCOMPARE(s.CurrentTables().size(), 4);
    QCOMPARE(w.ComboAlias->currentIndex(), -1);
    QCOMPARE(w.EditPath->text(), ExampleDir());
    QCOMPARE(s.Commands(), (QStringList{"Add new alias ->   STANDARD " + target, "Add alias ->   STANDARD " + ExampleDir()}));
}

QTEST_MAIN(AliasCommandsTest)
#include "AliasCommandsTest.moc"
