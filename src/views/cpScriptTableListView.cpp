#include "views/cpScriptTableListView.h"

#include <QKeyEvent>
#include <QMouseEvent>

#include "views/TvxTableListItem.h"
#include "views/cpFieldGrid.h"
#include "views/vxNavigationKeys.h"

namespace morvane {

TvxScriptTableListView::TvxScriptTableListView(QWidget* parent) : QListWidget(parent)
{
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    connect(this, &QListWidget::currentRowChanged, this, &TvxScriptTableListView::UserSelected);
}

TvxScriptTableListView::~TvxScriptTableListView()
{
    SetStructFields(nullptr);
}

void TvxScriptTableListView::SetFieldGrid(TvxFieldGrid* grid)
{
    if (fieldGrid_)
        disconnect(fieldGrid_, &QObject::destroyed, this, nullptr);
    fieldGrid_ = grid;
    SetStructFields(grid);
    if (grid)
        connect(grid, &QObject::destroyed, this, [this] {
            fieldGrid_ = nullptr;
            SetStructFields(nullptr);
        });
}

void TvxScriptTableListView::SelectIndex(int index)
{
    TvxScriptTableList::SelectIndex(index);
    SyncItems();
}

void TvxScriptTableListView::Change()
{
    if (userSelecting_)
        return;
    SyncItems();
    TvxScriptTableList::Change();
    emit Changed();
}

void TvxScriptTableListView::SyncItems()
{
    const bool wasSyncing = syncing_;
    syncing_ = true;
    while (count() > Count())
        delete takeItem(count() - 1);
    for (int i = 0; i < Count(); ++i) {
        const QString text = TvxTableListItem::DisplayText(NameAt(i));
        if (i < count()) {
            if (item(i)->text() != text)
                item(i)->setText(text);
        } else {
            addItem(text);
        }
    }
    if (currentRow() != ItemIndex()) {
        setCurrentRow(ItemIndex());
        if (ItemIndex() < 0)
            clearSelection();
    }
    syncing_ = wasSyncing;
}

void TvxScriptTableListView::UserSelected(int row)
{
    if (syncing_ || row == ItemIndex())
        return;
    userSelecting_ = true;
    TvxScriptTableList::SelectIndex(row);
    userSelecting_ = false;
    emit OnClick();
}

void TvxScriptTableListView::UserRefresh()
{
    if (StructFields() && Count() > 0)
        RefreshFields();
}

void TvxScriptTableListView::mouseReleaseEvent(QMouseEvent* event)
{
    QListWidget::mouseReleaseEvent(event);
    UserRefresh();
}

void TvxScriptTableListView::keyPressEvent(QKeyEvent* event)
{
    if (!event->isAutoRepeat())
        rowAtKeyPress_ = currentRow();
    QListWidget::keyPressEvent(event);
}

void TvxScriptTableListView::keyReleaseEvent(QKeyEvent* event)
{
    QListWidget::keyReleaseEvent(event);
    if (event->isAutoRepeat())
        return;
    // A key that moved the selection (typing a table's first letter does) refreshes the grid
    // too; otherwise field edits would act on rows of another table.
    if (IsNavigationKey(event->key()) || currentRow() != rowAtKeyPress_)
        UserRefresh();
}

} // namespace morvane
