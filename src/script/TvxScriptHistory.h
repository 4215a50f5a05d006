#pragma once
// TvxScriptHistory: undo and redo for a script and its new-structure table list. Each step is
// what changed between two captures: the run of commands and the run of table entries (name and
// whole descriptor) that differ, found by comparing the live script and list with a copy of
// them as last captured, plus the table selected. A step keeps only the side it is not showing,
// so an edit of one command or one table costs that command or that table, whatever the size
// of the script; finding it costs one comparison pass over commands and tables.
//
// The history never changes the script or the list except in Undo and Redo, which put back the
// commands (TvxDBScript::SpliceCommands, no builder rules, no events) and the entries
// (TvxScriptTableList::ReplaceEntries), select the table that was selected then and refresh the
// list's views (Change). Both outlive the history.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "model/clvxTableDesc.h"
#include "script/TvxCommand.h"

namespace morvane {

class TvxDBScript;
class TvxScriptTableList;

class TvxScriptHistory
{
public:
    TvxScriptHistory(TvxDBScript& script, TvxScriptTableList& tables);
    ~TvxScriptHistory();
    TvxScriptHistory(const TvxScriptHistory&) = delete;
    TvxScriptHistory& operator=(const TvxScriptHistory&) = delete;

    // Forgets every step: the state as it stands is the start. savedHere: that state is the one
    // the document file holds (AtSavedState until something changes).
    void Reset(bool savedHere);
    // Records what changed since the last capture as one step and forgets the steps that could
    // be redone; false when nothing changed. A nonzero group joins the change to the last step
    // when that step was captured with the same group, nothing is left to redo and the state
    // before the change is not the saved one: a run of keystrokes is one step, and a run that
    // ends where it began leaves no step.
    bool Capture(int group = 0);

    // Puts back the state before the last step (Undo) or after the next one (Redo); false when
    // there is none. A change not captured yet is captured first, so Undo takes it back (and
    // Redo finds nothing left to redo). CanUndo and CanRedo count captured steps only.
    bool Undo();
    bool Redo();
    bool CanUndo() const { return !undo_.empty(); }
    bool CanRedo() const { return !redo_.empty(); }
    int UndoCount() const { return static_cast<int>(undo_.size()); }
    int RedoCount() const { return static_cast<int>(redo_.size()); }

    // The state as it stands (captured first) is the one the document file holds.
    void MarkSaved();
    // The state reached by the last capture, Undo or Redo is the saved one.
    bool AtSavedState() const { return saved_ == UndoCount(); }

    // Bytes the steps hold (what undo and redo keep besides the copy of the current state).
    std::size_t StepMemory() const;

    // Told after every Reset and after every capture, Undo or Redo that changed the steps, so
    // that what can be undone or redone may be shown.
    std::function<void()> OnChange;

private:
    struct TableCopy
    {
        std::string name;
        TvxTableDesc desc;
    };
    // The run of items that one side of a step has at pos, replacing `count` items there.
    template <class T>
    struct Run
    {
        int pos = 0;
        int count = 0;
        std::vector<T> items;
    };
    struct Step
    {
        Run<std::unique_ptr<TvxCommand>> commands;
        Run<TableCopy> tables;
        int selection = -1;
        int group = 0;
    };

    // Whether the script or the list differ from the copy.
    bool Changed() const;
    void Told() const
    {
        if (OnChange)
            OnChange();
    }
    // Takes the last step back out of the copy (not out of the script or the list) and forgets it.
    void Rewind();

    // Puts the other side of step into the script and the list (and the copy), leaving in step
    // the side that was there.
    void Swap(Step& step);
    // Captures, then takes the last step of from back or again and keeps it in to; false when
    // from has none.
    bool Take(std::vector<Step>& from, std::vector<Step>& to);

    TvxDBScript& script_;
    TvxScriptTableList& tables_;
    // The state as last captured, undone or redone.
    std::vector<std::unique_ptr<TvxCommand>> commands_;
    std::vector<TableCopy> entries_;
    int selection_ = -1;
    std::vector<Step> undo_;
    std::vector<Step> redo_;
    // UndoCount() at the saved state; -1 when no state reachable is the saved one.
    int saved_ = -1;
};

} // namespace morvane
