#pragma once
// TvxScriptTableList: the tables of the new structure, in the order the script adds them. Each
// entry owns its descriptor. Almost every operation acts on the selected entry's descriptor;
// field edits also keep a linked field grid (IvxStructFields, not owned) in step.
//
// Field edits act at the position of the grid's selected row r (field position r - 1). With no
// grid linked the list tracks that position itself, as a grid would: selecting a table puts it
// on the blank row after the last field (so inserts append), an insert at p moves it to p + 1,
// and SetCurrentFieldPos moves it like a click on a grid row.
//
// Forwarding operations call the selected descriptor's operation of the same name. With no
// table selected they change nothing and answer false, 0, -1, null, or, for operations that
// return a code, vxErrIndexPosOut (indexes) or vxErrRefIntNotFound (rules).
// Streaming operations throw the stream layer's EReadError / EWriteError.
//
// Widgets that present the list follow it as TvxScriptTableListListener (any number; the link
// ends with whichever side goes first).

#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "model/clvxTableDesc.h"
#include "script/IvxStructFields.h"

namespace morvane {

class TvxScriptTableListListener;
class TvxStream;

class TvxScriptTableList
{
public:
    TvxScriptTableList() = default;
    TvxScriptTableList(const TvxScriptTableList&) = delete;
    TvxScriptTableList& operator=(const TvxScriptTableList&) = delete;
    // Lets every listener go first.
    virtual ~TvxScriptTableList();

    // The field grid kept in step (not owned; null unlinks it). The owner of the grid unlinks
    // it before destroying it.
    IvxStructFields* StructFields() const { return structFields_; }
    void SetStructFields(IvxStructFields* grid) { structFields_ = grid; }

    // Fired by Change (a new selection), after the grid was refreshed.
    std::function<void()> OnChange;

    // Entries.
    int Count() const { return static_cast<int>(entries_.size()); }
    // Appends an entry and returns its position; the list takes the descriptor (never null).
    int AddTable(std::string name, std::unique_ptr<TvxTableDesc> desc);
    // A table of the new structure: desc is named after the entry (SetTableName, extension
    // "DB", type "PARADOX"), then appended as AddTable does. Used by the builder and by the
    // replay of a document alike, so that both give the same descriptor.
    int AddNewTable(std::string name, std::unique_ptr<TvxTableDesc> desc);
    // Deletes the entry at index with its descriptor. When it was selected, the entry that
    // takes its place (or none) becomes selected and Change runs.
    void DeleteTable(int index);
    // Entry text at index; empty when index is out of range.
    std::string NameAt(int index) const;
    // Descriptor at index, or null when index is out of range.
    TvxTableDesc* TableAt(int index) const;
    // Descriptor of the entry whose text equals name ignoring letter case, or null.
    TvxTableDesc* TableByName(std::string_view name) const;
    // Position of the first such entry, or -1. Looked up in an index of the upper-cased names,
    // built when first needed after a change other than adding an entry.
    int IndexOfName(std::string_view name) const;
    // Frees every descriptor after clearing the selection.
    void ClearTables();
    // Replaces count entries from index on by `with` (their descriptors taken; a null one becomes
    // empty), telling the listeners once: for restoring an earlier state of the list. A selected
    // entry among those replaced leaves no table selected (the grid emptied first); a selected
    // entry after them stays selected. index and count are clamped to the list.
    void ReplaceEntries(int index, int count, std::vector<std::pair<std::string, std::unique_ptr<TvxTableDesc>>> with);

    // Selection.
    int ItemIndex() const { return itemIndex_; }
    // Selects index (-1 or an out-of-range value clears the selection) and runs Change when the
    // selection moved.
    virtual void SelectIndex(int index);
    // Moves the selection like SelectIndex but without Change and without telling listeners:
    // for a widget whose user moved it, which keeps the grid in step itself.
    void SetItemIndex(int index);
    // Refreshes the grid, tells the listeners, then fires OnChange.
    virtual void Change();
    // Shows the selected table's fields in the grid (none when nothing is selected).
    void RefreshFields();
    TvxTableDesc* SelectedTable() const;
    std::string SelectedName() const;
    // Replaces the selected entry's text when it differs (case-sensitive).
    void RenameSelected(std::string_view name);

    // Field edits on the selected table.
    // Inserts at the current position (the blank row appends); the descriptor's result.
    bool InsertField(const TvxFieldDesc& field);
    // The position InsertField would insert at; -1 when no table is selected.
    int InsertionPos() const;
    // Replaces the field at the current position; false when that is no field.
    bool ChangeField(const TvxFieldDesc& field);
    // Deletes the field of that name (letter case ignored) and its grid row; false when absent.
    bool DeleteField(std::string_view name);
    // The field at the current position, or null.
    const TvxFieldDesc* CurrentField() const;
    // Current field position (grid row - 1); -1 when no row or the title row is selected.
    int CurrentFieldPos() const;
    // Moves the self-tracked position when no grid is linked (clamped to 0..field count).
    void SetCurrentFieldPos(int pos);

    // Forwarding operations (see the header comment for an empty selection).
    int FieldCount() const;
    std::span<const TvxFieldDesc> Fields() const;
    int FieldNumber(std::string_view name) const;
    bool AddValCheck(std::string_view minText, std::string_view maxText, const TvxFieldDesc& field, bool required,
                     std::string_view pictureText, std::string_view defaultText);
    bool DeleteValCheck(int fieldNo);
    const TvxValCheckDesc* FindValCheck(int fieldNo) const;
    void RenumberIndexFields(int fieldNo, int mode);
    bool PrimaryKeyReaches(int n) const;
    bool IndexExists(std::string_view name) const;
    int IndexCount() const;
    const TvxIndexDesc* GetIndex(int pos) const;
    bool IsPrimary(int pos) const;
    int FindIndex(std::string_view name) const;
    std::string NewIndexName() const;
    int AddIndex(const TvxIndexDesc& desc);
    int DeleteIndex(int pos);
    int RenameIndex(int pos, std::string_view name);
    int AddIndexField(int fieldNo, int pos);
    int RemoveIndexField(int keyPos, int pos);
    int SwapIndexFields(int pos, int keyPosA, int keyPosB);
    void ListFieldsNotInIndex(std::vector<std::string>& strings, const TvxIndexDesc& index) const;
    bool HasPrimaryKey() const;
    const TvxRefIntDesc* GetRefInt(int pos) const;
    const TvxRefIntDesc* FindRefInt(std::string_view name) const;
    int RefIntPosByName(std::string_view name) const;
    bool RefIntExists(std::string_view name) const;
    std::string NewRefIntName() const;
    int AddRefInt(const TvxRefIntDesc& desc);
    bool DeleteRefInt(int pos);
    int RemoveRefIntField(int pos);
    int AddRefIntField(int fieldNo, int pos);
    int SetRefIntMaster(const TvxTableDesc& master, int pos);
    void ListRuleFields(std::vector<std::string>& strings, int pos) const;
    void ListMasterFields(std::vector<std::string>& strings, const TvxTableDesc& master, int pos) const;
    // NewName is cut to 30 characters first.
    void RenameRefInt(std::string_view oldName, std::string_view newName);

    // Over all entries.
    // Some entry (the selected one included) has a rule on the selected table's file name (letter
    // case ignored).
    bool IsRefIntMaster() const;
    bool AllTablesHaveIndexFields() const;
    bool AllTablesRefIntsComplete() const;
    // The fields of the selected table that may become the next field of its rule pos; strings
    // is left unchanged when the rule's master table is not in the list.
    void ListNextRuleFields(std::vector<std::string>& strings, int pos) const;

    // Streaming, each through its own 1024-byte writer or reader on stream.
    void WriteAllStructures(TvxStream& stream) const;
    void WriteAllDescriptors(TvxStream& stream) const;
    // Reads the descriptor records only when the count read equals Count(); returns whether it
    // read them. A failing record leaves that descriptor unchanged and throws.
    bool ReadAllDescriptors(TvxStream& stream);

private:
    friend class TvxScriptTableListListener;

    struct Entry
    {
        std::string name;
        std::unique_ptr<TvxTableDesc> desc;
    };

    int GridRow() const;
    void Tell(void (TvxScriptTableListListener::*hook)());
    // Tells the listeners that entries were added, deleted or renamed.
    void EntriesChanged();

    std::vector<Entry> entries_;
    // Upper-cased name -> position of the first entry so named; valid while byNameValid_.
    mutable std::unordered_map<std::string, int> byName_;
    mutable bool byNameValid_ = false;
    int itemIndex_ = -1;
    int ownRow_ = 1; // the row a grid would have selected, used when none is linked
    IvxStructFields* structFields_ = nullptr;
    std::vector<TvxScriptTableListListener*> listeners_;
};

} // namespace morvane
