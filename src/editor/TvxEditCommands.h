#pragma once
// TvxEditCommands: the "&Editar" menu of the main window: undo and redo of every change to the
// script (commands, new tables with their descriptors) through the script history. Changes are
// taken as one step per user action: the document's changed flag tells the handler, which
// captures once control is back in the event loop (and always before undoing or redoing).
// After a step the grid, lists and panels show the restored state, the alias fields show the
// restored source and target (the source database follows a changed source), and the script
// counts as unchanged exactly when the restored state is the one last saved.

#include <QObject>

#include <functional>

class QAction;
class QComboBox;
class QLineEdit;

namespace morvane {

class IvxPrompts;
class TvxAliasCommands;
class TvxCommand;
class TvxDBScript;
class TvxDatabase;
class TvxScriptHistory;
struct TvxDocumentState;

class TvxEditCommands : public QObject
{
    Q_OBJECT

public:
    // The alias fields of both halves and the menu's two items; none is null.
    struct Controls
    {
        QAction* mnUndo = nullptr;
        QAction* mnRedo = nullptr;
        QComboBox* ComboAlias = nullptr;
        QLineEdit* EditPath = nullptr;
        QLineEdit* EditNewAlias = nullptr;
        QLineEdit* EditNewDrive = nullptr;
        QLineEdit* EditNewPath = nullptr;
    };

    // Everything given outlives the commands.
    TvxEditCommands(const Controls& controls, TvxScriptHistory& history, TvxDocumentState& document,
                    const TvxDBScript& script, TvxDatabase& database, TvxAliasCommands& aliases,
                    IvxPrompts& prompts);
    // Stops listening to the document's changed flag.
    ~TvxEditCommands() override;

    // "&Desfazer" and "&Refazer"; nothing happens when there is no step to take.
    void mnUndoClick();
    void mnRedoClick();
    // Each item enabled exactly when there is a step to take (a change not yet captured counts
    // as one to undo, and leaves nothing to redo). Run after every change of the history.
    void UpdateActions();

    // The script was marked changed: the change is captured as a step when the current event
    // is handled.
    void ScriptChanged();
    // Captures a change still pending now.
    void Flush();
    // Typing into one of the validation fields: Typed runs the handler of a keystroke,
    // TypingEnded the handler of leaving the field. The changes of a run of typing in one field
    // are one step, which grows with each keystroke until the field is left; a change pending
    // from before is a step of its own.
    void Typed(const std::function<void()>& keystroke);
    void TypingEnded(const std::function<void()>& leave);

private:
    void Restored(bool (TvxScriptHistory::*step)());
    // The source database follows the script's source command (none: closed).
    void FollowSource(const TvxCommand* source);

    Controls controls_;
    TvxScriptHistory& history_;
    TvxDocumentState& document_;
    const TvxDBScript& script_;
    TvxDatabase& database_;
    TvxAliasCommands& aliases_;
    IvxPrompts& prompts_;
    bool pending_ = false;
    // The group of the run of typing under way (a new one after each run).
    int typingRun_ = 1;
};

} // namespace morvane
