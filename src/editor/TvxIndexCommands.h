#pragma once
// TvxIndexCommands: the "&Índices" menu and both index tabs of the main window: the read-only
// indexes of the current table, and the editing of the selected new table's indexes (add,
// delete, name, key fields and their order, properties). Index edits change the new table's
// descriptor directly and record no script command; each one that succeeds marks the script
// changed. Refusals (descriptor codes, editor ids 115-122) are shown as messages and change
// nothing. The buttons and property boxes are enabled only while they have something to act on.

#include <QObject>

class QCheckBox;
class QListWidget;
class QPlainTextEdit;
class QToolButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace morvane {

class TvxDataSetListBox;
class TvxMessages;
class TvxScriptTableList;
class TvxTableDesc;
class TvxTablePanels;
struct TvxDocumentState;

class TvxIndexCommands : public QObject
{
    Q_OBJECT

public:
    // The window's controls these commands read and change; none is null.
    struct Controls
    {
        // upper "Indexes"
        QTreeWidget* ListIndex = nullptr;
        QListWidget* ListIdxFields = nullptr;
        QPlainTextEdit* MemoIdxProperty = nullptr;
        // lower "Indexes"
        QListWidget* NewIdxFieldsList = nullptr;
        QTreeWidget* NewIdxList = nullptr;
        QListWidget* NewIdxFieldUsedList = nullptr;
        QCheckBox* CheckNewUnique = nullptr;
        QCheckBox* CheckNewMaint = nullptr;
        QCheckBox* CheckNewCaseInsens = nullptr;
        QCheckBox* CheckNewDesc = nullptr;
        QToolButton* SpdBtnIdxAdd = nullptr;
        QToolButton* SpdBtnIdxDel = nullptr;
        QToolButton* SpdBtnIdxAddField = nullptr;
        QToolButton* SpdBtnIdxDelField = nullptr;
        QToolButton* SpdBtnIdxMoveUp = nullptr;
        QToolButton* SpdBtnIdxMoveDown = nullptr;
    };

    // Everything given outlives the commands; panels refills the new index list.
    TvxIndexCommands(const Controls& controls, TvxScriptTableList& newTables, const TvxDataSetListBox& currentTables,
                     TvxTablePanels& panels, TvxMessages& messages, TvxDocumentState& document);

    void SpdBtnIdxAddClick();
    void SpdBtnIdxDelClick();
    void SpdBtnIdxAddFieldClick();
    void SpdBtnIdxDelFieldClick();
    // "Mover &p/ cima" (up true) and "Movee p/ bai&xo", from their buttons or menu items.
    void SpdBtnIdxMoveClick(bool up);
    // A click on one of the four property boxes, Sender.
    void CheckNewIdxPropertyClick(QCheckBox* Sender);
    // Selection in the current table's index list.
    void ListIndexChange();
    // Selection in the new table's index list, and every refill of it.
    void NewIdxListChange();
    // The in-place edit of an entry of the new index list finished: the index's new name.
    void NewIdxListEdited(QTreeWidgetItem* Item);

    // The property boxes, the key-field lists and the buttons for the index at pos of the
    // selected new table.
    void ShowNewIndex(int pos);
    // The naming rule for the selected index: one plain key field gives the field's name; any
    // other index gets a generated name where it would be named like its first key field (or
    // has no key field and is no primary key).
    void ApplyIndexNaming();

    // After a field command: both field lists and the boxes shown afresh for the selected index.
    // With entries the index list itself is refilled first (a field deletion can take a rule's
    // index with it), keeping the selected index where it still exists.
    void RefreshNewIndexes(bool entries);
    // Enables each button and property box exactly while it has something to act on.
    void UpdateControls();

private:
    // Position of the index selected in NewIdxList; -1 when none.
    int SelectedIndexPos() const;
    // The caption the index list shows for the index at pos ("Primary" for the primary key).
    QString IndexCaption(const TvxTableDesc& table, int pos) const;
    // Sets an entry's caption without taking it for an edit by the user.
    void SetCaption(QTreeWidgetItem* item, const QString& caption);
    // The index at pos is the primary key and another new table's rule rests on it.
    bool PrimaryUsedByRule(int pos) const;
    // The selected index when its keys may be edited; otherwise -1, the reason shown.
    int EditableIndexPos() const;
    // Key fields of the index at pos (in key order) and the other fields into the two lists.
    void FillKeyFields(int pos);
    void FillFieldsNotInIndex(int pos);
    void MarkChanged();

    Controls controls_;
    TvxScriptTableList& newTables_;
    const TvxDataSetListBox& currentTables_;
    TvxTablePanels& panels_;
    TvxMessages& messages_;
    TvxDocumentState& document_;
};

} // namespace morvane
