#include "editor/TvxAliasCommands.h"

#include "db/IvxEngine.h"
#include "db/cpDatabase.h"
#include "editor/IvxHelp.h"
#include "editor/IvxPrompts.h"
#include "editor/TvxDelayedProgress.h"
#include "editor/TvxDocumentState.h"
#include "editor/TvxMessages.h"
#include "editor/TvxTablePanels.h"
#include "script/EvxAbort.h"
#include "script/TvxScriptTableList.h"
#include "script/cpDBStructScript.h"
#include "views/cpDataSetListBox.h"
#include "views/vxRecordText.h"

#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>

#include <algorithm>
#include <stdexcept>

namespace morvane {

namespace {

constexpr int vxMsgNoTableSelected = 101;
constexpr int vxMsgNoAlias = 107;
constexpr int vxLblNewAliasTitle = 10020;
constexpr int vxLblNewAliasName = 10021;
constexpr int vxLblNewAliasDrivers = 10022;
constexpr int vxLblTablePasswordTitle = 10025;
constexpr int vxLblTablePasswordLabel = 10026;
constexpr int vxLblPasswordTitle = 10028;
constexpr int vxLblPasswordLabel = 10029;
constexpr int vxMsgWrongPassword = 10140;
constexpr int vxMsgSourceEmpty = 10155;

constexpr char vxStandardDriver[] = "STANDARD";

QString Text(int id)
{
    return TvxMessages::LoadMessage(id);
}

std::unique_ptr<TvxCommand> AliasCommand(std::uint8_t kind, const std::string& alias, const std::string& directory)
{
    return std::make_unique<TvxCommand>(
        kind, std::initializer_list<TvxValue>{alias, std::string(vxStandardDriver), directory});
}

} // namespace

TvxAliasCommands::TvxAliasCommands(const Controls& controls, IvxEngine& engine, TvxDatabase& database,
                                   TvxDBScript& script, TvxScriptTableList& newTables,
                                   const TvxDataSetListBox& currentTables, IvxPrompts& prompts, TvxMessages& messages,
                                   TvxDocumentState& document)
    : controls_(controls), engine_(engine), database_(database), script_(script), newTables_(newTables),
      currentTables_(currentTables), prompts_(prompts), messages_(messages), document_(document)
{}

QString TvxAliasCommands::DirectoryText(const std::string& bytes)
{
    return QFile::decodeName(QByteArray::fromStdString(bytes));
}

std::string TvxAliasCommands::DirectoryBytes(const QString& text)
{
    return QFile::encodeName(text).toStdString();
}

void TvxAliasCommands::FillAliasList()
{
    const TvxStringList names = engine_.Session(vxSession).AliasNames();
    controls_.ComboAlias->clear();
    for (const auto& name : names)
        controls_.ComboAlias->addItem(DirectoryText(name));
    controls_.ComboAlias->setCurrentIndex(-1);
}

const TvxCommand* TvxAliasCommands::SourceCommand() const
{
    return script_.Command(script_.FindFirstOfKind(ckAddAlias));
}

void TvxAliasCommands::Connect()
{
    TvxDelayedProgress progress(controls_.ComboAlias->window(),
                                QStringLiteral("Lendo as tabelas do banco de dados..."));
    database_.OnReadProgress = [&progress](int done, int total) { progress.Step(done, total); };
    struct Unhook
    {
        TvxDatabase& database;
        ~Unhook() { database.OnReadProgress = nullptr; }
    } unhook{database_};
    database_.SetConnected(true);
    // A damaged table costs itself only: the others are listed, it is named with its reason.
    if (!database_.SkippedTables().empty()) {
        std::string text = "Tabelas que não puderam ser lidas e ficaram fora da lista:";
        for (const auto& skipped : database_.SkippedTables())
            text += "\n" + skipped.name + ": " + skipped.reason;
        messages_.ShowFailure(std::runtime_error(text));
    }
}

void TvxAliasCommands::Fail(const std::exception& failure)
{
    try {
        database_.SetConnected(false);
    } catch (const std::exception&) {
        // Closing a database that failed to open fails no further.
    }
    if (dynamic_cast<const EvxAbort*>(&failure))
        return;
    messages_.ShowFailure(failure);
}

void TvxAliasCommands::ApplyAliasCommand(const TvxCommand& Comm)
{
    const bool wasConnected = database_.Connected();
    if (wasConnected)
        database_.SetConnected(false);
    const std::string alias = Comm.ParamText(AliasParam::AliasName);
    const std::string directory = Comm.ParamText(AliasParam::Directory);
    if (!alias.empty())
        database_.SetAlias(alias);
    else
        database_.SetPath(directory);
    controls_.EditPath->setText(DirectoryText(directory));
    if (wasConnected)
        Connect();
}

void TvxAliasCommands::ShowNewAlias(const TvxCommand& Comm)
{
    controls_.EditNewAlias->setText(DirectoryText(Comm.ParamText(AliasParam::AliasName)));
    controls_.EditNewDrive->setText(DirectoryText(Comm.ParamText(AliasParam::DriverName)));
}

void TvxAliasCommands::ClearAliasFields()
{
    controls_.ComboAlias->setCurrentIndex(-1);
    controls_.EditPath->clear();
    controls_.EditNewAlias->clear();
    controls_.EditNewDrive->clear();
    controls_.EditNewPath->clear();
}

bool TvxAliasCommands::EnsureDirectory(const QString& directory)
{
    if (QFileInfo(directory).isDir())
        return true;
    const QString caption = QCoreApplication::applicationName();
    const QString shown = QDir::toNativeSeparators(directory);
    if (prompts_.Message(TvxMsgKind::Question, caption,
                         QStringLiteral("O diretório \"%1\" não existe. Deseja criá-lo?").arg(shown),
                         TvxMsgButtons::OkCancel) != TvxMsgResult::Ok)
        return false;
    if (QDir().mkpath(directory) && QFileInfo(directory).isDir())
        return true;
    prompts_.Message(TvxMsgKind::Error, caption, QStringLiteral("O diretório \"%1\" não pôde ser criado.").arg(shown),
                     TvxMsgButtons::Ok);
    return false;
}

bool TvxAliasCommands::RecordSourceDirectory(const QString& directory)
{
    auto command = AliasCommand(ckAddAlias, std::string(), DirectoryBytes(directory));
    const int code = script_.AddCommand(command);
    if (code != 0) {
        messages_.ShowMessageCode(code);
        return false;
    }
    controls_.ComboAlias->setCurrentIndex(-1);
    controls_.EditPath->setText(directory);
    document_.ScriptChanged = true;
    return true;
}

void TvxAliasCommands::mnOpenDatabaseClick()
{
    const TvxCommand* source = SourceCommand();
    if (!source) {
        messages_.ShowMessageCode(vxMsgNoAlias);
        return;
    }
    try {
        if (database_.Connected()) {
            database_.SetConnected(false);
            return;
        }
        ApplyAliasCommand(*source);
        Connect();
        // A source without tables: the user may point it at another directory, which becomes
        // the script's source, until tables show or the question is cancelled.
        while (database_.Connected() && currentTables_.count() == 0) {
            // Said first, so that the directory dialog comes with its reason.
            if (messages_.AskMessage(vxMsgSourceEmpty, QDir::toNativeSeparators(controls_.EditPath->text()),
                                     TvxMsgButtons::OkCancel) != TvxMsgResult::Ok)
                break;
            const auto directory =
                prompts_.ChooseDirectory(controls_.EditPath->text(), false, vxHelpDirectoryChoice);
            if (!directory || !RecordSourceDirectory(*directory))
                break;
            ApplyAliasCommand(*SourceCommand());
        }
    } catch (const std::exception& failure) {
        Fail(failure);
    }
}

void TvxAliasCommands::mnAliasAddPathClick()
{
    BtnPathAliasClick(false);
}

void TvxAliasCommands::mnAliasNewAddClick()
{
    QStringList drivers;
    try {
        for (const auto& driver : engine_.Session(vxSessionNew).DriverNames())
            drivers << DirectoryText(driver);
    } catch (const EvxEngineError& failure) {
        Fail(failure);
        return;
    }
    const auto name = prompts_.EnterNameWithList(Text(vxLblNewAliasTitle), Text(vxLblNewAliasName),
                                                 Text(vxLblNewAliasDrivers), drivers);
    if (!name || name->isEmpty())
        return;
    // The driver picked in the list is not the target's: a new alias is always a standard one.
    auto command = AliasCommand(ckAddNewAlias, DirectoryBytes(*name), std::string());
    const int code = script_.AddCommand(command);
    if (code != 0) {
        messages_.ShowMessageCode(code);
        return;
    }
    ShowNewAlias(*script_.Command(script_.FindFirstOfKind(ckAddNewAlias)));
    controls_.EditNewPath->clear();
    document_.ScriptChanged = true;
}

void TvxAliasCommands::mnAliasNewDeleteClick()
{
    auto command = std::make_unique<TvxCommand>(ckAddNewAlias, std::initializer_list<TvxValue>{});
    const int code = script_.AddCommand(command);
    if (code != 0) {
        messages_.ShowMessageCode(code);
        return;
    }
    controls_.EditNewAlias->clear();
    controls_.EditNewDrive->clear();
    controls_.EditNewPath->clear();
    document_.ScriptChanged = true;
}

void TvxAliasCommands::ComboAliasChange()
{
    const QString alias = controls_.ComboAlias->currentText();
    if (alias.isEmpty() || database_.Connected())
        return;
    try {
        database_.SetAlias(DirectoryBytes(alias));
        const std::string path = database_.AliasPath();
        auto command = AliasCommand(ckAddAlias, DirectoryBytes(alias), path);
        ApplyAliasCommand(*command);
        const int code = script_.AddCommand(command);
        if (code != 0) {
            messages_.ShowMessageCode(code);
            return;
        }
        controls_.EditPath->setText(DirectoryText(path));
        // The script now names another source: one more change to keep.
        document_.ScriptChanged = true;
    } catch (const std::exception& failure) {
        Fail(failure);
    }
}

void TvxAliasCommands::BtnPathAliasClick(bool newAlias)
{
    QLineEdit* shown = newAlias ? controls_.EditNewPath : controls_.EditPath;
    const auto directory = prompts_.ChooseDirectory(shown->text(), true, vxHelpDirectoryChoice);
    if (!directory || !EnsureDirectory(*directory))
        return;
    if (!newAlias) {
        try {
            if (RecordSourceDirectory(*directory))
                ApplyAliasCommand(*SourceCommand());
        } catch (const std::exception& failure) {
            Fail(failure);
        }
        return;
    }
    auto command = AliasCommand(ckAddNewAlias, std::string(), DirectoryBytes(*directory));
    const int code = script_.AddCommand(command);
    if (code != 0) {
        messages_.ShowMessageCode(code);
        return;
    }
    controls_.EditNewPath->setText(*directory);
    controls_.EditNewAlias->clear();
    controls_.EditNewDrive->clear();
    document_.ScriptChanged = true;
}

void TvxAliasCommands::SpdBtnPWClick()
{
    TvxTableDesc* table = newTables_.SelectedTable();
    if (!table) {
        messages_.ShowMessageCode(vxMsgNoTableSelected);
        return;
    }
    const auto entered = prompts_.EnterPassword(Text(vxLblTablePasswordTitle), Text(vxLblTablePasswordLabel));
    if (!entered)
        return;
    const std::string password = QStringToRecordText(*entered);
    const std::string tableName = table->TableName();
    const int pos = script_.FindPassword(tableName);
    if (pos < 0 && !password.empty()) {
        auto command = std::make_unique<TvxCommand>(ckAddPassword, std::initializer_list<TvxValue>{tableName, password});
        const int code = script_.AddCommand(command);
        if (code != 0) {
            // Not recorded: the table stays as it was.
            messages_.ShowMessageCode(code);
            return;
        }
    } else if (pos >= 0) {
        if (password.empty())
            script_.DeleteCommand(pos);
        else
            script_.Command(pos)->SetParamValue(AddPasswordParam::Password, password);
    }
    table->SetProtected(!password.empty());
    controls_.pnNewProtected->setText(TvxTablePanels::ProtectionText(table->Protected()));
    // A password set or removed is a change of the script like any other.
    document_.ScriptChanged = true;
}

void TvxAliasCommands::DatabaseConnected(bool Value)
{
    controls_.mnOpenDatabase->setText(Value ? QStringLiteral("&Close Database") : QStringLiteral("&Open Database"));
    controls_.mnAliasAddPath->setEnabled(!Value);
    controls_.ComboAlias->setEnabled(!Value);
    controls_.BtnPath->setEnabled(!Value);
}

bool TvxAliasCommands::DatabasePassword(TvxDatabase& asking)
{
    const QString table = DirectoryText(asking.PasswordTable());
    // A password given for this table did not open it: said so before asking again.
    if (asking.PasswordRetries() > 0)
        prompts_.Message(TvxMsgKind::Warning, QCoreApplication::applicationName(),
                         TvxMessages::FormatMessage(Text(vxMsgWrongPassword), table), TvxMsgButtons::Ok);
    const QString caption = table.isEmpty() ? Text(vxLblPasswordTitle) : Text(vxLblPasswordTitle) + QStringLiteral(": ") + table;
    const auto password = prompts_.EnterPassword(caption, Text(vxLblPasswordLabel));
    if (!password)
        return false;
    const std::string given = QStringToRecordText(*password);
    asking.Session().AddPassword(given);
    if (std::find(passwords_.begin(), passwords_.end(), given) == passwords_.end())
        passwords_.push_back(given);
    return true;
}

void TvxAliasCommands::AliasLoaded(const TvxCommand& Comm)
{
    try {
        ApplyAliasCommand(Comm);
    } catch (const std::exception& failure) {
        Fail(failure);
        return;
    }
    // Opening may replace the command by a directory the user chooses: what is shown is read
    // afterwards from the script's own source command.
    mnOpenDatabaseClick();
    const TvxCommand* source = SourceCommand();
    if (!source)
        return;
    const std::string alias = source->ParamText(AliasParam::AliasName);
    controls_.ComboAlias->setCurrentIndex(alias.empty() ? -1 : controls_.ComboAlias->findText(DirectoryText(alias)));
    controls_.EditPath->setText(DirectoryText(source->ParamText(AliasParam::Directory)));
}

void TvxAliasCommands::NewAliasLoaded(const TvxCommand& Comm)
{
    ShowNewAlias(Comm);
    controls_.EditNewPath->setText(DirectoryText(Comm.ParamText(AliasParam::Directory)));
}

} // namespace morvane
