#include "editor/TvxFileCommands.h"

#include "db/cpDatabase.h"
#include "diff/TvxScriptFromDifference.h"
#include "editor/IvxHelp.h"
#include "editor/IvxPrompts.h"
#include "editor/TvxAliasCommands.h"
#include "editor/TvxBackgroundRun.h"
#include "editor/TvxDocumentState.h"
#include "editor/TvxFileDialogs.h"
#include "editor/TvxMessages.h"
#include "editor/TvxRecentDocuments.h"
#include "editor/vxRunTexts.h"
#include "editor/vxStrings.h"
#include "script/EvxAbort.h"
#include "script/TvxCommand.h"
#include "script/TvxScriptDocument.h"
#include "script/TvxScriptHistory.h"
#include "script/TvxScriptReplayer.h"
#include "script/TvxScriptTableList.h"
#include "script/cpDBStructScript.h"
#include "script/vxCommandParams.h"
#include "script/vxScriptCreate.h"
#include "script/vxUpdateServerCodes.h"
#include "views/TvxResourceVersion.h"
#include "views/cpDataSetListBox.h"
#include "views/vxRecordText.h"

#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QStatusBar>
#include <QThread>
#include <QUrl>
#include <QWidget>

namespace morvane {

namespace {

constexpr int vxMsgSourceTableMissing = 10027;
constexpr int vxMsgRecentGone = 10100;
constexpr int vxLblPreviewCaption = 10114;
constexpr int vxMsgRunDespiteLosses = 10115;
constexpr int vxLblOpenFolder = 10116;
constexpr int vxAdvSaveFirst = 10152;
constexpr int vxAdvIndexWithoutFields = 10153;
constexpr int vxMsgCompareNeedsSource = 10156;
constexpr int vxMsgCompareWanted = 10157;
constexpr int vxMsgCompareReplaces = 10158;
// How long a notice stays in the status bar.
constexpr int vxNoticeMilliseconds = 15000;

// The hourglass until the end of a command, however it ends.
class TvxWaitCursor
{
public:
    TvxWaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~TvxWaitCursor() { QApplication::restoreOverrideCursor(); }
    TvxWaitCursor(const TvxWaitCursor&) = delete;
    TvxWaitCursor& operator=(const TvxWaitCursor&) = delete;
};

// A file name as the file system takes it.
std::string FileBytes(const QString& name)
{
    return TvxAliasCommands::DirectoryBytes(name);
}

// Values a real run would cut, or records it would keep apart from the new tables.
bool LosesData(const TvxUpdateReport& report)
{
    return report.TotalValuesCut() > 0 || report.TotalProblemRecords() > 0 || report.TotalKeyViolations() > 0;
}

} // namespace

TvxFileCommands::TvxFileCommands(const Controls& controls, const Services& services)
    : controls_(controls), services_(services)
{
    OpenFolder = [](const QString& folder) { QDesktopServices::openUrl(QUrl::fromLocalFile(folder)); };
    // The executor reports from the run's thread: the message waits until the run is over.
    exeScript_.OnShowErrorMsg = [this](int code) {
        if (QThread::currentThread() == thread())
            ExeScriptShowErrorMsg(code);
        else
            pendingError_ = code;
    };
    exeScript_.SetOnProgress([this](const TvxUpdateProgress& progress) {
        if (run_)
            run_->Progress(progress.table, progress.done, progress.total);
    });
}

TvxFileCommands::~TvxFileCommands() = default;

void TvxFileCommands::ShowCaption()
{
    const QString& product = services_.version.ProductName();
    const QString& name = services_.document.DocumentFileName;
    // "[*]": the unsaved mark, shown while the window is modified.
    controls_.Window->setWindowTitle((name.isEmpty() ? product : product + QLatin1Char(' ') + name) +
                                     QStringLiteral("[*]"));
    controls_.Window->setWindowModified(services_.document.ScriptChanged);
}

void TvxFileCommands::Notice(const QString& text)
{
    controls_.StatusBar->showMessage(text, vxNoticeMilliseconds);
}

QString TvxFileCommands::StartDirectory() const
{
    const QString& document = services_.document.DocumentFileName;
    if (!document.isEmpty())
        return QFileInfo(document).absolutePath();
    if (!lastDirectory_.isEmpty())
        return lastDirectory_;
    const QStringList& recent = services_.recent.Files();
    return recent.isEmpty() ? QString() : QFileInfo(recent.front()).absolutePath();
}

void TvxFileCommands::ChoseIn(const QString& fileName)
{
    lastDirectory_ = QFileInfo(fileName).absolutePath();
}

bool TvxFileCommands::IsScriptDocument(const QString& fileName)
{
    return fileName.endsWith(QLatin1String(".vxscript"), Qt::CaseInsensitive);
}

// --- the document ---

bool TvxFileCommands::SaveChangesFirst()
{
    if (!services_.document.ScriptChanged)
        return true;
    switch (services_.messages.AskMessage(vxMsgScriptChangedSave, QString(), TvxMsgButtons::YesNoCancel)) {
    case TvxMsgResult::Yes:
        // Goes on only once the script is saved: a cancelled file dialog or a failed save keeps
        // the script rather than losing the changes.
        mnSaveClick();
        return !services_.document.ScriptChanged;
    case TvxMsgResult::No:
        return true;
    default:
        return false;
    }
}

void TvxFileCommands::ClearScript()
{
    try {
        services_.script.Clear();
    } catch (const std::exception& failure) {
        // The engine could not remove a temporary alias: the script is emptied all the same.
        services_.messages.ShowFailure(failure);
        services_.script.SpliceCommands(0, services_.script.Count(), {});
    }
    services_.newTables.ClearTables();
    try {
        services_.database.SetConnected(false);
    } catch (const std::exception& failure) {
        services_.messages.ShowFailure(failure);
    }
    services_.aliases.ClearAliasFields();
}

bool TvxFileCommands::NewScript()
{
    if (!SaveChangesFirst())
        return false;
    ClearScript();
    services_.document.DocumentFileName.clear();
    services_.document.ScriptChanged = false;
    ShowCaption();
    services_.history.Reset(true);
    return true;
}

void TvxFileCommands::mnNewClick()
{
    NewScript();
}

void TvxFileCommands::mnOpenClick()
{
    services_.dialogs.Open.directory = StartDirectory();
    const auto chosen = services_.prompts.OpenFile(services_.dialogs.Open);
    if (!chosen)
        return;
    ChoseIn(*chosen);
    if (NewScript())
        OpenDocument(*chosen);
}

void TvxFileCommands::OpenChosen(const QString& fileName)
{
    if (!QFileInfo(fileName).isFile()) {
        services_.messages.AskMessage(vxMsgRecentGone, QDir::toNativeSeparators(fileName), TvxMsgButtons::Ok);
        services_.recent.Remove(fileName);
        return;
    }
    if (NewScript())
        OpenDocument(fileName);
}

bool TvxFileCommands::OpenDocument(const QString& fileName)
{
    const QString name = fileName.trimmed();
    bool whole = false;
    {
        const TvxWaitCursor wait;
        try {
            OpenScriptDocument(FileBytes(name), services_.script, services_.newTables);
            whole = true;
        } catch (const EvxAbort&) {
            // A source table is missing (10027 was shown): what was read stays, unnamed.
        } catch (const std::exception& failure) {
            services_.messages.ShowFailure(failure);
        }
    }
    if (whole) {
        services_.currentTables.SelectIndex(0);
        services_.newTables.SelectIndex(0);
        services_.document.DocumentFileName = name;
        services_.document.ScriptChanged = false;
        ShowCaption();
        services_.recent.Add(name);
    }
    services_.history.Reset(!services_.document.ScriptChanged);
    return whole;
}

void TvxFileCommands::StructScriptAfterLoad(TvxCommand& Comm)
{
    switch (Comm.Kind()) {
    case ckAddAlias:
        services_.aliases.AliasLoaded(Comm);
        return;
    case ckAddNewAlias:
        services_.aliases.NewAliasLoaded(Comm);
        return;
    default:
        break;
    }
    if (services_.replayer.Apply(Comm) == TvxScriptReplayer::MissingSource) {
        services_.messages.AskMessage(vxMsgSourceTableMissing,
                                      RecordTextToQString(Comm.ParamText(AddTableParam::SourceTable)),
                                      TvxMsgButtons::Ok);
        throw EvxAbort();
    }
}

bool TvxFileCommands::SaveScript(bool saveAs)
{
    TvxDocumentState& document = services_.document;
    QString name = document.DocumentFileName.trimmed();
    if (saveAs || name.isEmpty()) {
        TvxFileDialogOptions options = services_.dialogs.Save;
        options.fileName = name;
        options.directory = StartDirectory();
        const auto chosen = services_.prompts.SaveFile(options);
        if (!chosen)
            return false;
        name = chosen->trimmed();
        ChoseIn(name);
    }
    services_.dialogs.Save.fileName = name;
    {
        const TvxWaitCursor wait;
        try {
            SaveScriptDocument(FileBytes(name), services_.version.InternalName().toStdString(), services_.script,
                               services_.newTables);
        } catch (const std::exception& failure) {
            services_.messages.ShowFailure(failure);
            return false;
        }
    }
    document.DocumentFileName = name;
    document.ScriptChanged = false;
    ShowCaption();
    services_.history.MarkSaved();
    services_.recent.Add(name);
    // A notice, not a question: the title's unsaved mark is gone as well.
    Notice(TvxMessages::LoadMessage(vxMsgFileSaved) + QStringLiteral(": ") + QDir::toNativeSeparators(name));
    return true;
}

void TvxFileCommands::mnSaveClick()
{
    SaveScript(false);
}

void TvxFileCommands::mnSaveAsClick()
{
    SaveScript(true);
}

void TvxFileCommands::mnScriptClearClick()
{
    ClearScript();
    if (!services_.document.DocumentFileName.isEmpty())
        services_.document.ScriptChanged = true;
    services_.history.Reset(!services_.document.ScriptChanged);
}

void TvxFileCommands::mnCommandsClick()
{
    QStringList lines;
    for (const std::string& text : services_.script.CommandTexts())
        lines << RecordTextToQString(text);
    services_.prompts.ShowCommands(lines);
}

void TvxFileCommands::mnExitClick()
{
    controls_.Window->close();
}

bool TvxFileCommands::FormCloseQuery()
{
    // The window and the executor must outlive a run under way.
    if (TvxBackgroundRun::Running())
        return false;
    return SaveChangesFirst();
}

// --- the update and maintenance scripts ---

void TvxFileCommands::mnScriptCreateClick()
{
    int id = 0;
    std::string subject;
    try {
        const TvxWaitCursor wait;
        id = CreateScripts(FileBytes(services_.document.DocumentFileName),
                           services_.version.InternalName().toStdString(), services_.script, services_.newTables,
                           &subject);
    } catch (const std::exception& failure) {
        services_.messages.ShowFailure(failure);
        return;
    }
    if (id != vxMsgScriptsCreated) {
        if (!subject.empty())
            services_.messages.AskMessage(id, RecordTextToQString(subject), TvxMsgButtons::Ok, CreateAdvice(id));
        else
            services_.messages.ShowMessageCode(id, CreateAdvice(id));
        return;
    }
    const TvxScriptFileNames files = ScriptFileNames(FileBytes(services_.document.DocumentFileName));
    Notice(TvxMessages::LoadMessage(id) + QStringLiteral(": ") +
           QDir::toNativeSeparators(TvxAliasCommands::DirectoryText(files.update)) + QStringLiteral(", ") +
           QDir::toNativeSeparators(TvxAliasCommands::DirectoryText(files.maintenance)));
}

QString TvxFileCommands::CreateAdvice(int id) const
{
    if (id == TvxScriptMsg::FileNameBlank)
        return TvxMessages::LoadMessage(vxAdvSaveFirst);
    if (id != TvxScriptMsg::IndexWithoutFields)
        return {};
    QStringList lines;
    for (int t = 0; t < services_.newTables.Count(); ++t)
        for (const TvxIndexDesc& index : services_.newTables.TableAt(t)->Indexes())
            if (index.keyFieldCount() < 1)
                lines << TvxMessages::LoadMessage(vxAdvIndexWithoutFields)
                             .arg(RecordTextToQString(services_.newTables.NameAt(t)), RecordTextToQString(index.name()));
    return lines.join(QLatin1Char('\n'));
}

void TvxFileCommands::RunInBackground(const QString& label, const std::function<void()>& work)
{
    TvxBackgroundRun run(controls_.Window, label);
    run_ = &run;
    struct Forget
    {
        TvxBackgroundRun*& run;
        ~Forget() { run = nullptr; }
    } forget{run_};
    run.Run(work);
}

void TvxFileCommands::mnScriptExecuteClick()
{
    // The scripts are written beside the document: the dialog starts there.
    services_.dialogs.OpenScripts.directory = StartDirectory();
    const auto chosen = services_.prompts.OpenFile(services_.dialogs.OpenScripts);
    if (!chosen)
        return;
    ChoseIn(*chosen);
    const QString scriptFile = chosen->trimmed();
    if (!exeScript_.SetChosenFile(FileBytes(scriptFile)))
        return;
    const QString sourceText =
        controls_.ComboAlias->currentIndex() < 0 ? controls_.EditPath->text() : controls_.ComboAlias->currentText();
    const QString targetText = controls_.EditNewPath->text();
    const std::string source = FileBytes(sourceText);
    const std::string target = FileBytes(targetText);
    exeScript_.Passwords = services_.aliases.Passwords();
    pendingError_.reset();
    try {
        TvxUpdateReport preview;
        RunInBackground(QStringLiteral("Verificando o script..."),
                        [&] { preview = exeScript_.Preview(source, target); });
        // A script that cannot run says why at once; one that can is confirmed first, with the
        // preview when it would lose data.
        if (preview.code != 0 && preview.code != vxRunProblems) {
            ExeScriptShowErrorMsg(preview.code);
            return;
        }
        {
            const QString question = vxRunQuestion(scriptFile, sourceText, targetText, vxHasTables(targetText));
            const bool go =
                LosesData(preview)
                    ? services_.prompts.AskAboutReport(TvxMessages::LoadMessage(vxLblPreviewCaption),
                                                       vxRunPreview(preview),
                                                       question + QStringLiteral("\n\n") +
                                                           TvxMessages::LoadMessage(vxMsgRunDespiteLosses))
                    : services_.prompts.Message(TvxMsgKind::Question, QCoreApplication::applicationName(), question,
                                                TvxMsgButtons::OkCancel) == TvxMsgResult::Ok;
            if (!go)
                return;
        }
        RunInBackground(QStringLiteral("Executando o script..."),
                        [&] { exeScript_.Execute(source, target); });
    } catch (const std::exception& failure) {
        pendingError_.reset();
        services_.messages.ShowFailure(failure);
        return;
    }
    const int code = pendingError_.value_or(0);
    pendingError_.reset();
    if (code != 0 && code != vxRunProblems) {
        ExeScriptShowErrorMsg(code);
        return;
    }
    ShowRunResult(code);
}

void TvxFileCommands::ShowRunResult(int code)
{
    const TvxUpdateReport& report = exeScript_.Report();
    QString text = vxRunResult(report);
    // Records set aside: the server's own words first.
    if (code != 0)
        text = TvxMessages::LoadMessage(code) + QLatin1Char('\n') + text;
    if (services_.prompts.MessageWithAction(QCoreApplication::applicationName(), text,
                                            TvxMessages::LoadMessage(vxLblOpenFolder)))
        OpenFolder(TvxAliasCommands::DirectoryText(report.target));
}

void TvxFileCommands::ExeScriptShowErrorMsg(int CodError)
{
    // The executor's own code for a missing file is the negative of its text's id.
    const int id = CodError < 0 ? -CodError : CodError;
    const QString text = TvxMessages::LoadMessage(id);
    const TvxUpdateReport& report = exeScript_.Report();
    const QString detail = report.code == CodError ? QString::fromStdString(report.message) : QString();
    if (text.isEmpty() || detail.isEmpty() || detail == text) {
        services_.messages.ShowMessageCode(id);
        return;
    }
    // The message, and below it the server's account, which names the table or field concerned.
    services_.prompts.Message(TvxMsgKind::Information, QCoreApplication::applicationName(),
                              text + QLatin1Char('\n') + detail, TvxMsgButtons::Ok);
}

// --- a script from a comparison ---

void TvxFileCommands::mnScriptCompareClick()
{
    TvxDatabase& database = services_.database;
    if (!database.Connected()) {
        services_.messages.ShowMessageCode(vxMsgCompareNeedsSource);
        return;
    }
    if (!SaveChangesFirst())
        return;
    // What is asked for, and that the script will be replaced by the comparison's.
    QString question = TvxMessages::LoadMessage(vxMsgCompareWanted);
    if (services_.script.Count() > 0)
        question += QLatin1Char('\n') + TvxMessages::LoadMessage(vxMsgCompareReplaces);
    if (services_.prompts.Message(TvxMsgKind::Question, QCoreApplication::applicationName(), question,
                                  TvxMsgButtons::OkCancel) != TvxMsgResult::Ok)
        return;
    const auto directory = services_.prompts.ChooseDirectory(controls_.EditPath->text(), false, vxHelpCompare);
    if (!directory)
        return;

    TvxScriptTableList tables;
    TvxDBScript script;
    script.SetScriptTableList(&tables);
    try {
        const TvxWaitCursor wait;
        TvxDatabase wanted(services_.engine, vxSession);
        wanted.OnPassword = database.OnPassword;
        wanted.OpenByPath(FileBytes(*directory));
        const TvxDiffDatabase wantedDb = ReadDiffDatabase(wanted);
        const TvxDiffDatabase sourceDb = ReadDiffDatabase(database);
        // The target the script names stays the target of the new one.
        TvxDiffTarget target;
        if (const TvxCommand* newAlias =
                services_.script.Command(services_.script.FindFirstOfKind(ckAddNewAlias))) {
            target.aliasName = newAlias->ParamText(AliasParam::AliasName);
            target.directory = newAlias->ParamText(AliasParam::Directory);
        }
        BuildScriptFromDifference(script, sourceDb, wantedDb, {}, target);
    } catch (const std::exception& failure) {
        script.SetScriptTableList(nullptr);
        services_.messages.ShowFailure(failure);
        return;
    }
    script.SetScriptTableList(nullptr);

    std::vector<std::unique_ptr<TvxCommand>> commands;
    for (int i = 0; i < script.Count(); ++i)
        commands.push_back(script.Command(i)->Clone());
    services_.script.SpliceCommands(0, services_.script.Count(), std::move(commands));
    std::vector<std::pair<std::string, std::unique_ptr<TvxTableDesc>>> entries;
    for (int i = 0; i < tables.Count(); ++i)
        entries.emplace_back(tables.NameAt(i), std::make_unique<TvxTableDesc>(*tables.TableAt(i)));
    services_.newTables.ReplaceEntries(0, services_.newTables.Count(), std::move(entries));
    services_.newTables.SelectIndex(0);

    services_.document.DocumentFileName.clear();
    services_.document.ScriptChanged = true;
    ShowCaption();
    services_.history.Reset(false);
}

} // namespace morvane
