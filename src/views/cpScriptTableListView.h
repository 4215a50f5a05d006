#pragma once
// TvxScriptTableListView: the list box of the new structure's tables. It is the table list
// model (TvxScriptTableList: entries owning their descriptors, selection, field edits) and shows
// its entries; the builder and the editor work on the model part. The linked field grid
// (SetFieldGrid, not owned; unlinked when it is destroyed) follows the selected table.
//
// The user keeps the grid in step: a mouse release or a navigation key (Page Up/Down, End,
// Home, arrows) refreshes it without firing OnChange, as does any key that moved the selection.
// Entries added, renamed, deleted or cleared through the model show at once.

#include "script/TvxScriptTableList.h"
#include "views/cpFieldGrid.h"
#include "views/vxNavigationKeys.h"

#include <QListWidget>
#include <QPointer>

namespace morvane {


class TvxScriptTableListView : public QListWidget, public TvxScriptTableList, private IvxStructFields
{
    Q_OBJECT
public:
    explicit TvxScriptTableListView(QWidget* parent = nullptr);
    ~TvxScriptTableListView() override;

    TvxFieldGrid* FieldGrid() const { return fieldGrid_; }
    void SetFieldGrid(TvxFieldGrid* grid);

    void SelectIndex(int index) override;
    void Change() override;

    // Brings the shown entries and the highlighted row in step with the model.
    void SyncItems();

signals:
    // After Change (a selection made through the model), like the model's OnChange.
    void Changed();
    // The user clicked a table or moved the selection with the keyboard.
    void OnClick();

protected:
    void EntriesChanged() override { SyncItems(); }
    bool viewportEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;

private:
    // IvxStructFields, the model's view of the grid: the linked grid, told first the code page
    // of the selected table (whose fields the model writes).
    void ShowFields(const TvxFieldDesc* fields, int count) override;
    void InsertAtCurrentRow(const TvxFieldDesc& field) override;
    void UpdateCurrentRow(const TvxFieldDesc& field) override;
    void DeleteRow(int row) override;
    int SelectedRow() const override;
    // The linked grid (null when none), set to the selected table's code page.
    TvxFieldGrid* GridForSelectedTable();

    bool ItemsInStep() const;
    void UserSelected(int row);
    void UserRefresh();

    QPointer<TvxFieldGrid> fieldGrid_;
    bool syncing_ = false;
    bool userSelecting_ = false;
    TvxKeyRefresh keyRefresh_;
    int rowAtMousePress_ = -1;
};

} // namespace morvane
