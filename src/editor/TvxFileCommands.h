#pragma once
// TvxFileCommands: the "&Arquivo" menu of the main window: the script as a whole (new, open,
// save, clear, the command list), the update and maintenance scripts (create, execute with the
// server's preview first), a script from the comparison with a wanted database, the rebuilding
// of the new tables from a document being read, and closing the window.
//
// File and engine failures of these commands are shown in an error box and leave the document
// as it was (a failed save keeps the previous file and the unsaved state). New, Open, Clear and
// the comparison start a fresh undo history; a save marks the state the history calls saved.

#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

#include "script/cpvxExecuteScript.h"

class QComboBox;
class QLineEdit;
class QStatusBar;
class QWidget;

namespace morvane {

class IvxEngine;
class IvxPrompts;
class TvxAliasCommands;
class TvxBackgroundRun;
class TvxCommand;
class TvxDBScript;
class TvxDataSetListBox;
class TvxDatabase;
class TvxMessages;
class TvxRecentDocuments;
class TvxResourceVersion;
class TvxScriptHistory;
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
        // Notices that need no answer (a document saved, scripts created).
        QStatusBar* StatusBar = nullptr;
    };

    // The services these commands use; all outlive the commands. replayer rebuilds the new
    // tables of a document being read; aliases applies its source and target commands and knows
    // the passwords given for the source; version gives the caption and the application name of
    // the files written; engine opens the wanted database of a comparison.
    struct Services
    {
        TvxDocumentState& document;
        TvxFileDialogs& dialogs;
        IvxPrompts& prompts;
        TvxMessages& messages;
        TvxDBScript& script;
        TvxScriptTableList& newTables;
        TvxDatabase& database;
        TvxDataSetListBox& currentTables;
        TvxScriptReplayer& replayer;
        TvxAliasCommands& aliases;
        const TvxResourceVersion& version;
        IvxEngine& engine;
        TvxScriptHistory& history;
        // Every document opened or saved goes first in it.
        TvxRecentDocuments& recent;
    };

    TvxFileCommands(const Controls& controls, const Services& services);
    ~TvxFileCommands() override;

    void mnNewClick();
    // Asks for a document; after "&Novo" (whose question, answered Cancel, ends the opening and
    // keeps the current script) reads it.
    void mnOpenClick();
    // "&Abrir" of a document already chosen (a recent document, a file dropped on the window):
    // after "&Novo"'s question, reads it. A file that is gone is said so and leaves the recent list.
    void OpenChosen(const QString& fileName);
    // A script document by its name (".vxscript", any letter case).
    static bool IsScriptDocument(const QString& fileName);
    void mnSaveClick();
    void mnSaveAsClick();
    void mnScriptCreateClick();
    // Runs a chosen update or maintenance script through the update server: first the server's
    // dry run, then one question naming script, source and target (and that the target's tables
    // are replaced); when the dry run finds values that would be cut or records that would be set
    // aside, the question comes under its report. The run is made off the window's thread behind
    // a progress dialog; its result (target, tables, records, problem tables) is shown after,
    // with a button that opens the target folder, and a failure as ExeScriptShowErrorMsg says.
    void mnScriptExecuteClick();
    void mnScriptClearClick();
    void mnCommandsClick();
    // Fills a new script from the difference between the open source database and a wanted
    // database (a directory the user chooses): the script is then changed and unnamed.
    void mnScriptCompareClick();
    // "S&air": closes the window (which asks FormCloseQuery first).
    void mnExitClick();

    // Reads the document fileName into the (empty) window, as "&Abrir" does after its questions.
    // True when it was read whole.
    bool OpenDocument(const QString& fileName);

    // With unsaved changes asks 10019 (Yes/No/Cancel); Yes saves first and lets the window
    // close only when the script was saved. False: the window stays open (also while a script
    // runs).
    bool FormCloseQuery();
    // One command read back from a document: the new tables (or the source and target
    // databases) follow it. A source table that the open database lacks is reported (10027) and
    // ends the loading (EvxAbort).
    void StructScriptAfterLoad(TvxCommand& Comm);
    // An error code of the script executor: shown as its message (-294 as 294), with the
    // server's own account of it below when its report has one.
    void ExeScriptShowErrorMsg(int CodError);

    // The executor; its server is created by the first run whose script file exists.
    TvxExecuteScript& ExeScript() { return exeScript_; }
    // Opens a folder for the user (the desktop's file manager); tests replace it.
    std::function<void(const QString&)> OpenFolder;

private:
    // "&Novo" without the menu: false when its question was cancelled (or its save did not
    // happen), and then nothing changed.
    bool NewScript();
    // Asks to save a changed script: true to go on (saved, or answered No).
    bool SaveChangesFirst();
    // Writes the document; false when the dialog was cancelled or writing failed.
    bool SaveScript(bool saveAs);
    // Empties script, new tables, source database and alias fields.
    void ClearScript();
    void ShowCaption();
    // A notice in the status bar.
    void Notice(const QString& text);
    // Where a file dialog starts: beside the document, else where the user last chose a file.
    QString StartDirectory() const;
    void ChoseIn(const QString& fileName);
    // What to do about a failed check of "C&riar script" (114, 112: the tables and indexes).
    QString CreateAdvice(int id) const;
    // The result of a run that ended with code (0, or records set aside).
    void ShowRunResult(int code);
    // Runs work off the window's thread behind a progress dialog labelled label.
    void RunInBackground(const QString& label, const std::function<void()>& work);

    Controls controls_;
    Services services_;
    TvxExecuteScript exeScript_;
    // The run under way, told of the server's progress; null between runs.
    TvxBackgroundRun* run_ = nullptr;
    // An error code the executor reported from the run's thread, shown once the run is over.
    std::optional<int> pendingError_;
    // The directory of the file last chosen in a file dialog.
    QString lastDirectory_;
};

} // namespace morvane
