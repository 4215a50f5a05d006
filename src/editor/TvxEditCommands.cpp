#include "editor/TvxEditCommands.h"

#include "db/cpDatabase.h"
#include "editor/IvxPrompts.h"
#include "editor/TvxAliasCommands.h"
#include "editor/TvxDocumentState.h"
#include "script/TvxScriptHistory.h"
#include "script/cpDBStructScript.h"

#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QTimer>

#include <memory>

namespace morvane {

namespace {

// The script's command of that kind, as a copy (null when it has none).
std::unique_ptr<TvxCommand> CopyOfFirst(const TvxDBScript& script, int kind)
{
    const TvxCommand* command = script.Command(script.FindFirstOfKind(kind));
    return command ? command->Clone() : nullptr;
}

bool Same(const std::unique_ptr<TvxCommand>& a, const std::unique_ptr<TvxCommand>& b)
{
    return (!a && !b) || (a && b && a->IsEqual(*b) && b->IsEqual(*a));
}

} // namespace

TvxEditCommands::TvxEditCommands(const Controls& controls, TvxScriptHistory& history, TvxDocumentState& document,
                                 const TvxDBScript& script, TvxDatabase& database, TvxAliasCommands& aliases,
                                 IvxPrompts& prompts)
    : controls_(controls), history_(history), document_(document), script_(script), database_(database),
      aliases_(aliases), prompts_(prompts)
{
    history_.OnChange = [this] { UpdateActions(); };
    UpdateActions();
}

TvxEditCommands::~TvxEditCommands()
{
    document_.ScriptChanged.OnSet = nullptr;
    history_.OnChange = nullptr;
}

void TvxEditCommands::UpdateActions()
{
    controls_.mnUndo->setEnabled(pending_ || history_.CanUndo());
    controls_.mnRedo->setEnabled(!pending_ && history_.CanRedo());
}

void TvxEditCommands::ScriptChanged()
{
    if (pending_)
        return;
    pending_ = true;
    UpdateActions();
    QTimer::singleShot(0, this, &TvxEditCommands::Flush);
}

void TvxEditCommands::Flush()
{
    if (!pending_)
        return;
    pending_ = false;
    if (!history_.Capture())
        UpdateActions();
}

void TvxEditCommands::Typed(const std::function<void()>& keystroke)
{
    Flush();
    keystroke();
    if (pending_) {
        pending_ = false;
        if (!history_.Capture(typingRun_))
            UpdateActions();
    }
}

void TvxEditCommands::TypingEnded(const std::function<void()>& leave)
{
    Typed(leave);
    ++typingRun_;
}

void TvxEditCommands::mnUndoClick()
{
    Restored(&TvxScriptHistory::Undo);
}

void TvxEditCommands::mnRedoClick()
{
    Restored(&TvxScriptHistory::Redo);
}

void TvxEditCommands::Restored(bool (TvxScriptHistory::*step)())
{
    Flush();
    const auto sourceBefore = CopyOfFirst(script_, ckAddAlias);
    if (!(history_.*step)())
        return;
    document_.ScriptChanged.Restore(!history_.AtSavedState());

    // The alias fields show the script's source and target as they are now.
    const TvxCommand* target = script_.Command(script_.FindFirstOfKind(ckAddNewAlias));
    if (target) {
        aliases_.NewAliasLoaded(*target);
    } else {
        controls_.EditNewAlias->clear();
        controls_.EditNewDrive->clear();
        controls_.EditNewPath->clear();
    }
    const auto sourceAfter = CopyOfFirst(script_, ckAddAlias);
    if (!Same(sourceBefore, sourceAfter))
        FollowSource(sourceAfter.get());
}

void TvxEditCommands::FollowSource(const TvxCommand* source)
{
    try {
        if (!source) {
            database_.SetConnected(false);
            controls_.ComboAlias->setCurrentIndex(-1);
            controls_.EditPath->clear();
            return;
        }
        const QString alias = TvxAliasCommands::DirectoryText(source->ParamText(AliasParam::AliasName));
        controls_.ComboAlias->setCurrentIndex(alias.isEmpty() ? -1 : controls_.ComboAlias->findText(alias));
        aliases_.ApplyAliasCommand(*source);
    } catch (const std::exception& failure) {
        // The restored source cannot be opened: it stays closed, the script as restored.
        try {
            database_.SetConnected(false);
        } catch (const std::exception&) {
        }
        prompts_.Message(TvxMsgKind::Error, QCoreApplication::applicationName(), QString::fromLocal8Bit(failure.what()),
                         TvxMsgButtons::Ok);
    }
}

} // namespace morvane
