#pragma once
// TvxAliasCommands: the "Alia&ses" menu and the alias controls of the main window: the source
// and target databases of the script, opening and closing the source, the engine's password
// question and the password of a new table ("&Senha").
//
// Engine failures of these commands (an alias that is gone, a directory that cannot be read, a
// password question cancelled) close the source database and are shown in an error box; none
// leaves a command.

#include <QObject>

#include <exception>
#include <string>
#include <vector>

class QAction;
class QComboBox;
class QLineEdit;
class QPushButton;

namespace morvane {

class IvxEngine;
class IvxPrompts;
class TvxCommand;
class TvxDBScript;
class TvxDataSetListBox;
class TvxDatabase;
class TvxMessages;
class TvxScriptTableList;
struct TvxDocumentState;

class TvxAliasCommands : public QObject
{
    Q_OBJECT

public:
    // The window's controls these commands read and change; none is null.
    struct Controls
    {
        QComboBox* ComboAlias = nullptr;
        QLineEdit* EditPath = nullptr;
        QPushButton* BtnPath = nullptr;
        QLineEdit* EditNewAlias = nullptr;
        QLineEdit* EditNewDrive = nullptr;
        QLineEdit* EditNewPath = nullptr;
        QLineEdit* pnNewProtected = nullptr;
        QAction* mnOpenDatabase = nullptr;
        QAction* mnAliasAddPath = nullptr;
    };

    // Everything given outlives the commands; currentTables is the list the connection fills.
    TvxAliasCommands(const Controls& controls, IvxEngine& engine, TvxDatabase& database, TvxDBScript& script,
                     TvxScriptTableList& newTables, const TvxDataSetListBox& currentTables, IvxPrompts& prompts,
                     TvxMessages& messages, TvxDocumentState& document);

    // ComboAlias ← the aliases of the session "Session". Engine errors propagate.
    void FillAliasList();

    void mnOpenDatabaseClick();
    void mnAliasAddPathClick();
    void mnAliasNewAddClick();
    void mnAliasNewDeleteClick();
    void ComboAliasChange();
    // The "..." of the "Alias" tab (newAlias false) and of the "Novo Alias" tab (true).
    void BtnPathAliasClick(bool newAlias);
    void SpdBtnPWClick();
    // The connection's state changed: caption of the first "Alia&ses" item and the alias
    // controls follow it.
    void DatabaseConnected(bool Value);
    // The connection needs a password for a table (10028, naming the table, and 10029), after a
    // password that did not open it a warning saying so; OK gives it to the session and answers
    // true (retry), Cancel answers false (the connection lists that table as protected, unread).
    bool DatabasePassword(TvxDatabase& asking);
    // The passwords given to the session so far, in the order given (they stay there until the
    // program ends); an executed script opens the source's protected tables with them.
    const std::vector<std::string>& Passwords() const { return passwords_; }

    // Points the connection at the source of an "Add alias" command (its alias, or its
    // directory when it names none) and shows the directory in EditPath; a connected database
    // is reconnected, re-reading its tables. Engine errors propagate.
    void ApplyAliasCommand(const TvxCommand& Comm);
    // EditNewAlias and EditNewDrive show the target of an "Add new alias" command.
    void ShowNewAlias(const TvxCommand& Comm);
    // No alias chosen; the path and the new-alias fields emptied.
    void ClearAliasFields();

    // A source ("Add alias") or target ("Add new alias") command read back from a document: the
    // source is opened, the target shown.
    void AliasLoaded(const TvxCommand& Comm);
    void NewAliasLoaded(const TvxCommand& Comm);

    // Directory texts of commands (the file system's bytes) to and from the controls' texts.
    static QString DirectoryText(const std::string& bytes);
    static std::string DirectoryBytes(const QString& text);

private:
    // Connects, showing progress when reading the tables takes a while. Errors propagate.
    void Connect();
    // The "Add alias" command of the script, or null.
    const TvxCommand* SourceCommand() const;
    // An existing directory, or one the user agreed to create and that was created.
    bool EnsureDirectory(const QString& directory);
    // Records directory as the script's source and shows it; true when the builder took it.
    bool RecordSourceDirectory(const QString& directory);
    // Closes the source after a failure and shows what failed (nothing for a cancelled wait).
    void Fail(const std::exception& failure);

    Controls controls_;
    IvxEngine& engine_;
    TvxDatabase& database_;
    TvxDBScript& script_;
    TvxScriptTableList& newTables_;
    const TvxDataSetListBox& currentTables_;
    IvxPrompts& prompts_;
    TvxMessages& messages_;
    TvxDocumentState& document_;
    std::vector<std::string> passwords_;
};

} // namespace morvane
