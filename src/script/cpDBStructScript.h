#pragma once
// TvxDBScript: the script builder. The editor hands it one command per structural edit
// (AddCommand); it keeps at most one source and one target database command, folds table renames
// and deletions and field changes and deletions into the commands already recorded, keeps the
// field numbers of field commands in step, rejects a field name already in use, and keeps the
// new-structure table list (ScriptTableList, not owned) in step with what it records.
//
// Results: the handlers answer a TvxApplyResult; AddCommand answers 0 when the edit was taken
// (appended or folded), otherwise the message id of the refusal (MessageIdOf).
// The owner of the table list unlinks it (SetScriptTableList(nullptr)) before destroying it.
// Clear, ReplaceCommand and LoadFromStream are to be called on this class, not on the loader.

#include "model/clvxTableDesc.h"
#include "script/cpDBStructScriptIndex.h"
#include "script/cpvxScriptLoader.h"
#include "script/TvxCommand.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace morvane {

class TvxScriptTableList;

// What a handler of AddCommand decided. These are not message ids: MessageIdOf gives the id
// that AddCommand answers for each.
enum class TvxApplyResult {
    Append,      // append the command at the end of the script
    Done,        // taken without appending: stored in another way, folded into others, or ignored
    NameInUse,   // the field name (also the name a changed or moved field takes) is in use
    TableFull,   // a field added to a table that holds as many fields as a table can
    TableExists, // a table renamed to the name of another new table
    ScriptFull,  // the script holds as many commands or tables as a script can (vxScriptLimits.h)
};

// The editor's message for an edit beyond what a script holds.
inline constexpr int vxMsgScriptFull = 125;

// The id AddCommand answers: 0 for Append and Done; vxErrFieldNameInUse (2) for NameInUse,
// vxErrFieldPosOut (5) for TableFull, vxErrTableExists (1) for TableExists, vxMsgScriptFull
// (125) for ScriptFull.
int MessageIdOf(TvxApplyResult result);

// What AddCommand needs besides the command, by kind.
struct TvxCommandExtras
{
    // Add table: the new table's descriptor (a clone of the source table); the builder takes it.
    std::unique_ptr<TvxTableDesc> table;
    // Create field: the new field; Change field: the field as it was; Move field: the source field.
    std::optional<TvxFieldDesc> field1;
    // Change field: the field as it becomes; Move field: the field in the target table.
    std::optional<TvxFieldDesc> field2;
    // Create field: the new value the field dialog gave.
    TvxValue newValue;

    static TvxCommandExtras ForAddTable(std::unique_ptr<TvxTableDesc> desc);
    static TvxCommandExtras ForCreateField(const TvxFieldDesc& field, TvxValue newValue);
    static TvxCommandExtras ForFields(const TvxFieldDesc& first, const TvxFieldDesc& second);
};

class TvxDBScript : public TvxDBScriptLoader
{
public:
    TvxDBScript() = default;

    TvxScriptTableList* ScriptTableList() const { return scriptTableList_; }
    void SetScriptTableList(TvxScriptTableList* list) { scriptTableList_ = list; }

    // Fired after a command was appended by AddCommand (not for folded or loaded commands).
    TAddCommandEvent OnAddCommand;

    // Records one edit. On 0 the script has taken the command over (command is left empty);
    // otherwise the command stays with the caller and nothing changed. A field command
    // without the field descriptors it needs, an Add table without a descriptor, a command
    // with more parameters than the editor supplies for its kind (SuppliedParamsOf), or a null
    // command throws std::invalid_argument before anything changes.
    int AddCommand(std::unique_ptr<TvxCommand>& command, TvxCommandExtras extras = {});

    // Removes and releases the command at pos (nothing when out of range).
    void DeleteCommand(int pos);

    // Look-ups; each answers a position or -1, or an empty text.
    virtual int FindFirstOfKind(int kind) const;
    // Among the first count commands (all when count is negative), the first equal to command.
    virtual int FindEqual(const TvxCommand& command, int count) const;
    virtual int FindFieldCommand(const TvxCommand& command, std::string_view fieldName) const;
    int FindTableCommand(std::string_view name) const;
    int FindPassword(std::string_view tableName) const;
    std::string NewNameOfAddedTable(std::string_view sourceName) const;
    std::string NewValueOf(std::string_view table, std::string_view field) const;
    int FindFieldInSelectedTable(std::string_view name) const;
    void RenumberFields(std::string_view table, int from, int delta);

    // One line per command: label, " -> ", then a blank and the text of each parameter.
    std::vector<std::string> CommandTexts() const;

    // The loader's operations that change the list, keeping the look-up index in step.
    void Clear();
    bool ReplaceCommand(int i, std::unique_ptr<TvxCommand>&& command);
    void LoadFromStream(TvxStream& stream);
    // Replaces the count commands from pos on by `with` (taken over), without the builder's
    // rules and without firing any event: for restoring an earlier state of the script. pos
    // and count are clamped to the script.
    void SpliceCommands(int pos, int count, std::vector<std::unique_ptr<TvxCommand>> with);

protected:
    void DoAfterLoad(TvxCommand& command) override;
    virtual TvxApplyResult ApplyAddAlias(std::unique_ptr<TvxCommand>& command);
    virtual void DoAddCommand(TvxCommand& command);
    virtual TvxApplyResult ApplyCreateField(TvxCommand& command, const TvxFieldDesc& field, const TvxValue& newValue);
    virtual TvxApplyResult ApplyChangeField(TvxCommand& command, const TvxFieldDesc& oldField,
                                            const TvxFieldDesc& newField);
    virtual TvxApplyResult ApplyDeleteField(TvxCommand& command);
    virtual TvxApplyResult ApplyMoveField(TvxCommand& command, const TvxFieldDesc& source, const TvxFieldDesc& target);
    // The list takes desc on Append when one is linked; otherwise desc stays with the caller.
    virtual TvxApplyResult ApplyCreateTable(TvxCommand& command, std::unique_ptr<TvxTableDesc>& desc);
    virtual TvxApplyResult ApplyChangeTable(TvxCommand& command);
    virtual TvxApplyResult ApplyDeleteTable(TvxCommand& command);
    virtual TvxApplyResult ApplyAddTable(TvxCommand& command, std::unique_ptr<TvxTableDesc>& desc);

    TvxApplyResult ApplyAddNewAlias(std::unique_ptr<TvxCommand>& command);

private:
    // FindFieldCommand for the commands of the named table.
    int FindFieldCommandOf(std::string_view table, std::string_view fieldName) const;
    // FindFieldCommand or FindFieldInSelectedTable finds the name (the name-in-use check).
    bool FieldNameInUse(const TvxCommand& command, std::string_view name) const;
    // A table is selected in a linked list and holds as many fields as a table can.
    bool SelectedTableFull() const;
    // The number a field created or moved into the selected table gets: where the list inserts
    // it; the descriptor's own number when no table is selected in a linked list.
    int InsertedFieldNumber(const TvxFieldDesc& field) const;
    // The number of the field being changed: its position in the selected table, or the
    // descriptor's own number when the list shows no field there.
    int ChangedFieldNumber(const TvxFieldDesc& field) const;
    // A Change table whose new name is that of another new table (upper-case equal).
    bool RenameClashes(const TvxCommand& command) const;
    // The command would take the script beyond MaxScriptCommands or MaxScriptTables.
    bool BeyondLimits(const TvxCommand& command) const;
    const TvxScriptCommandIndex& Index() const;
    void RemoveAt(int pos);

    TvxScriptTableList* scriptTableList_ = nullptr;
    mutable TvxScriptCommandIndex index_;
};

} // namespace morvane
