#pragma once
// TvxFileCommands: the "&Arquivo" menu of the main window: the script as a whole (new, open,
// save, clear, the command list), the update and maintenance scripts (create, execute), the
// rebuilding of the new tables from a document being read, and closing the window.

#include <QObject>

class QComboBox;
class QLineEdit;
class QWidget;

namespace morvane {

class IvxPrompts;
class TvxAliasCommands;
class TvxCommand;
class TvxDBScript;
class TvxDataSetListBox;
class TvxDatabase;
class TvxMessages;
class TvxResourceVersion;
class TvxScriptReplayer;
class TvxScriptTableList;
struct TvxDocumentState;
struct TvxFileDialogs;

class TvxFileCommands : public QObject
{
    Q_OBJECT

public:
    // The window's controls these commands read; none is null.
    struct Controls
    {
        // The window itself: its caption names the document, and "S&air" closes it.
        QWidget* Window = nullptr;
        // Source and target of an executed script.
        QComboBox* ComboAlias = nullptr;
        QLineEdit* EditPath = nullptr;
        QLineEdit* EditNewPath = nullptr;
    };

    // Everything given outlives the commands. replayer rebuilds the new tables of a document
    // being read; aliases applies its source and target commands; version gives the caption
    // and the application name of the files written.
    TvxFileCommands(const Controls& controls, TvxDocumentState& document, TvxFileDialogs& dialogs, IvxPrompts& prompts,
                    TvxMessages& messages, TvxDBScript& script, TvxScriptTableList& newTables, TvxDatabase& database,
                    TvxDataSetListBox& currentTables, TvxScriptReplayer& replayer, TvxAliasCommands& aliases,
                    const TvxResourceVersion& version);

    void mnNewClick();
    void mnOpenClick();
    void mnSaveClick();
    void mnSaveAsClick();
    void mnScriptCreateClick();
    void mnScriptExecuteClick();
    void mnScriptClearClick();
    void mnCommandsClick();
    // "S&air": closes the window (which asks FormCloseQuery first).
    void mnExitClick();

    // With unsaved changes asks 10019 (Yes/No/Cancel); Yes saves first and lets the window
    // close only when the script was saved. False: the window stays open.
    bool FormCloseQuery();
    // One command read back from a document: the new tables (or the source and target
    // databases) follow it. A source table that the open database lacks is reported (10027) and
    // ends the loading (EvxAbort).
    void StructScriptAfterLoad(TvxCommand& Comm);
    // An error code of the script executor (293-299): shown as its message, never dropped.
    void ExeScriptShowErrorMsg(int CodError);

private:
    Controls controls_;
    TvxDocumentState& document_;
    TvxFileDialogs& dialogs_;
    IvxPrompts& prompts_;
    TvxMessages& messages_;
    TvxDBScript& script_;
    TvxScriptTableList& newTables_;
    TvxDatabase& database_;
    TvxDataSetListBox& currentTables_;
    TvxScriptReplayer& replayer_;
    TvxAliasCommands& aliases_;
    const TvxResourceVersion& version_;
};

} // namespace morvane
