#pragma once
// TvxAliasCommands: the "Alia&ses" menu and the alias controls of the main window: the source
// and target databases of the script, opening and closing the source, the engine's password
// question and the password of a new table ("&Senha").

#include <QObject>

class QAction;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace morvane {

class IvxEngine;
class IvxPrompts;
class TvxCommand;
class TvxDBScript;
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
        QLabel* pnNewProtected = nullptr;
        QAction* mnOpenDatabase = nullptr;
        QAction* mnAliasAddPath = nullptr;
    };

    // Everything given outlives the commands.
    TvxAliasCommands(const Controls& controls, IvxEngine& engine, TvxDatabase& database, TvxDBScript& script,
                     TvxScriptTableList& newTables, IvxPrompts& prompts, TvxMessages& messages,
                     TvxDocumentState& document);

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
    // The connection needs a password (10028/10029); OK gives it to the session and answers
    // true (retry), Cancel answers false.
    bool DatabasePassword();
    // No alias chosen; the path and the new-alias fields emptied.
    void ClearAliasFields();

    // A source ("Add alias") or target ("Add new alias") command read back from a document.
    void AliasLoaded(const TvxCommand& Comm);
    void NewAliasLoaded(const TvxCommand& Comm);

private:
    Controls controls_;
    IvxEngine& engine_;
    TvxDatabase& database_;
    TvxDBScript& script_;
    TvxScriptTableList& newTables_;
    IvxPrompts& prompts_;
    TvxMessages& messages_;
    TvxDocumentState& document_;
};

} // namespace morvane
