#pragma once
// TvxScriptTableListView: the list box of the new structure's tables. It presents a table list
// model (TvxScriptTableList: entries owning their descriptors, selection, field edits) that it
// does not own; the builder and the editor work on the model. The view follows the model as
// its listener, so either may go first: a model that goes empties the view, a view that goes
// takes its grid back from the model. The linked field grid (SetFieldGrid, not owned; unlinked
// when it is destroyed) follows the selected table.
//
// The user keeps the grid in step: a mouse release or a navigation key (Page Up/Down, End,
// Home, arrows) refreshes it without firing OnChange, as does any key that moved the selection.
// Entries added, renamed, deleted or cleared through the model show at once.

#include "script/IvxStructFields.h"
#include "script/TvxScriptTableListListener.h"
#include "views/cpFieldGrid.h"
#include "views/vxNavigationKeys.h"

#include <QListWidget>
#include <QPointer>

namespace morvane {

class TvxScriptTableList;

class TvxScriptTableListView : public QListWidget, private TvxScriptTableListListener, private IvxStructFields
{
    Q_OBJECT
public:
    explicit TvxScriptTableListView(QWidget* parent = nullptr);
    ~TvxScriptTableListView() override;

    // The model shown, or null.
    TvxScriptTableList* Tables() const { return WatchedList(); }
    void SetTables(TvxScriptTableList* tables);

    TvxFieldGrid* FieldGrid() const { return fieldGrid_; }
    void SetFieldGrid(TvxFieldGrid* grid);

    // Brings the shown entries and the highlighted row in step with the model.
    void SyncItems();

signals:
    // After a selection made through the model (its Change), before the model's OnChange.
    void Changed();
    // The user clicked a table or moved the selection with the keyboard.
    void OnClick();

protected:
    bool viewportEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;

private:
    // TvxScriptTableListListener.
    void EntriesChanged() override { SyncItems(); }
    void SelectionChanged() override;
    void ListGone() override { SyncItems(); }

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
    TvxKeyRefresh keyRefresh_;
    int rowAtMousePress_ = -1;
};

} // namespace morvane
