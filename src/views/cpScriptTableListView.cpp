#include "views/cpScriptTableListView.h"

#include "views/cpFieldGrid.h"
#include "views/vxRecordText.h"

#include <QKeyEvent>
#include <QMouseEvent>

namespace morvane {

namespace {

constexpr int kNameRole = Qt::UserRole;

} // namespace

TvxScriptTableListView::TvxScriptTableListView(QWidget* parent) : QListWidget(parent)
{
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    connect(this, &QListWidget::currentRowChanged, this, &TvxScriptTableListView::UserSelected);
}

TvxScriptTableListView::~TvxScriptTableListView()
{
    // The model part goes first; the list box must not reach it while it takes its items down.
    disconnect(this, &QListWidget::currentRowChanged, this, nullptr);
    SetStructFields(nullptr);
}

void TvxScriptTableListView::SetFieldGrid(TvxFieldGrid* grid)
{
    if (fieldGrid_)
        disconnect(fieldGrid_, &QObject::destroyed, this, nullptr);
    fieldGrid_ = grid;
    SetStructFields(grid ? static_cast<IvxStructFields*>(this) : nullptr);
    if (grid)
        connect(grid, &QObject::destroyed, this, [this] {
            fieldGrid_ = nullptr;
            SetStructFields(nullptr);
        });
}

TvxFieldGrid* TvxScriptTableListView::GridForSelectedTable()
{
    if (fieldGrid_) {
        const TvxTableDesc* table = SelectedTable();
        fieldGrid_->SetCodePage(table ? table->CodePage() : vxNewTableCodePage);
    }
    return fieldGrid_;
}

// The model calls these only while the grid is linked (StructFields() is null otherwise); the
// checks cover the moment in which a grid being destroyed is no longer reachable.
void TvxScriptTableListView::ShowFields(const TvxFieldDesc* fields, int count)
{
    if (TvxFieldGrid* grid = GridForSelectedTable())
        grid->ShowFields(fields, count);
}

void TvxScriptTableListView::InsertAtCurrentRow(const TvxFieldDesc& field)
{
    if (TvxFieldGrid* grid = GridForSelectedTable())
        grid->InsertAtCurrentRow(field);
}

void TvxScriptTableListView::UpdateCurrentRow(const TvxFieldDesc& field)
{
    if (TvxFieldGrid* grid = GridForSelectedTable())
        grid->UpdateCurrentRow(field);
}

void TvxScriptTableListView::DeleteRow(int row)
{
    if (fieldGrid_)
        fieldGrid_->DeleteRow(row);
}

int TvxScriptTableListView::SelectedRow() const
{
    return fieldGrid_ ? fieldGrid_->SelectedRow() : -1;
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

bool TvxScriptTableListView::ItemsInStep() const
{
    if (count() != Count() || currentRow() != ItemIndex())
        return false;
    for (int i = 0; i < Count(); ++i) {
        const std::string name = NameAt(i);
        if (item(i)->data(kNameRole).toByteArray() != QByteArrayView(name.data(), static_cast<qsizetype>(name.size())))
            return false;
    }
    return true;
}

void TvxScriptTableListView::SyncItems()
{
    const bool wasSyncing = syncing_;
    syncing_ = true;
    while (count() > Count())
        delete takeItem(count() - 1);
    for (int i = 0; i < Count(); ++i) {
        const std::string name = NameAt(i);
        const QByteArray bytes(name.data(), static_cast<qsizetype>(name.size()));
        QListWidgetItem* entry = item(i);
        if (!entry) {
            entry = new QListWidgetItem;
            addItem(entry);
        } else if (entry->data(kNameRole).toByteArray() == bytes) {
            continue;
        }
        entry->setData(kNameRole, bytes);
        // Table names in a script are Windows-1252, like every other script text.
        entry->setText(RecordTextToQString(name, vxNewTableCodePage));
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

bool TvxScriptTableListView::viewportEvent(QEvent* event)
{
    // The builder and the loader change entries through the model alone: catch up before the
    // list is drawn.
    if (event->type() == QEvent::Paint && !ItemsInStep())
        SyncItems();
    return QListWidget::viewportEvent(event);
}

void TvxScriptTableListView::mousePressEvent(QMouseEvent* event)
{
    if (!ItemsInStep())
        SyncItems();
    rowAtMousePress_ = currentRow();
    QListWidget::mousePressEvent(event);
}

void TvxScriptTableListView::mouseReleaseEvent(QMouseEvent* event)
{
    QListWidget::mouseReleaseEvent(event);
    UserRefresh();
    // A click on the table already selected is a click too (a moved selection reported it).
    if (currentRow() == rowAtMousePress_ && currentRow() >= 0 && itemAt(event->position().toPoint()) == currentItem())
        emit OnClick();
}

void TvxScriptTableListView::keyPressEvent(QKeyEvent* event)
{
    if (!ItemsInStep())
        SyncItems();
    keyRefresh_.Pressed(*event, currentRow());
    QListWidget::keyPressEvent(event);
}

void TvxScriptTableListView::keyReleaseEvent(QKeyEvent* event)
{
    QListWidget::keyReleaseEvent(event);
    // Field edits must not act on rows of another table.
    if (keyRefresh_.Released(*event, currentRow()))
        UserRefresh();
}

} // namespace morvane
