#pragma once
// TvxIndexCommands: the "&Índices" menu and both index tabs of the main window: the read-only
// indexes of the current table, and the editing of the selected new table's indexes (add,
// delete, name, key fields and their order, properties). Index edits change the new table's
// descriptor directly and record no script command.

#include <QObject>

class QCheckBox;
class QListWidget;
class QPlainTextEdit;
class QTreeWidget;
class QTreeWidgetItem;

namespace morvane {

class TvxDataSetListBox;
class TvxMessages;
class TvxScriptTableList;
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
    };

    // Everything given outlives the commands.
    TvxIndexCommands(const Controls& controls, TvxScriptTableList& newTables, TvxDataSetListBox& currentTables,
                     TvxMessages& messages, TvxDocumentState& document);

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
    // Selection in the new table's index list.
    void NewIdxListChange();
    // The in-place edit of an entry of the new index list finished: the index's new name.
    void NewIdxListEdited(QTreeWidgetItem* Item);

private:
    Controls controls_;
    TvxScriptTableList& newTables_;
    TvxDataSetListBox& currentTables_;
    TvxMessages& messages_;
    TvxDocumentState& document_;
};

} // namespace morvane
