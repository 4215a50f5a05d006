#include "views/cpScriptTableListView.h"

#include "script/TvxScriptTableList.h"
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
    // The list box takes its items down after this; the model is left before that (the
    // listener base goes first) and no selection of the teardown may reach it.
    disconnect(this, &QListWidget::currentRowChanged, this, nullptr);
}

void TvxScriptTableListView::SetTables(TvxScriptTableList* tables)
{
    Watch(tables);
    SyncItems();
    if (tables && fieldGrid_)
        tables->RefreshFields();
}

void TvxScriptTableListView::SetFieldGrid(TvxFieldGrid* grid)
{
    if (fieldGrid_)
        disconnect(fieldGrid_, &QObject::destroyed, this, nullptr);
    fieldGrid_ = grid;
    LendStructFields(grid ? static_cast<IvxStructFields*>(this) : nullptr);
    if (grid)
        connect(grid, &QObject::destroyed, this, [this] {
            fieldGrid_ = nullptr;
            LendStructFields(nullptr);
        });
}

TvxFieldGrid* TvxScriptTableListView::GridForSelectedTable()
{
    if (fieldGrid_) {
        const TvxTableDesc* table = Tables() ? Tables()->SelectedTable() : nullptr;
        fieldGrid_->SetCodePage(table ? table->CodePage() : vxNewTableCodePage);
    }
    return fieldGrid_;
}

// The model calls these only while the grid is lent to it; the checks cover the moment in
// which a grid being destroyed is no longer reachable.
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

void TvxScriptTableListView::SelectionChanged()
{
    SyncItems();
    emit Changed();
}

bool TvxScriptTableListView::ItemsInStep() const
{
    const TvxScriptTableList* tables = Tables();
    const int entries = tables ? tables->Count() : 0;
    const int selected = tables ? tables->ItemIndex() : -1;
    if (count() != entries || currentRow() != selected)
        return false;
    for (int i = 0; i < entries; ++i) {
        const std::string name = tables->NameAt(i);
        if (item(i)->data(kNameRole).toByteArray() != QByteArrayView(name.data(), static_cast<qsizetype>(name.size())))
            return false;
    }
    return true;
}

void TvxScriptTableListView::SyncItems()
{
    const TvxScriptTableList* tables = Tables();
    const int entries = tables ? tables->Count() : 0;
    const int selected = tables ? tables->ItemIndex() : -1;
    const bool wasSyncing = syncing_;
    syncing_ = true;
    while (count() > entries)
        delete takeItem(count() - 1);
    for (int i = 0; i < entries; ++i) {
        const std::string name = tables->NameAt(i);
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
    if (currentRow() != selected) {
        setCurrentRow(selected);
        if (selected < 0)
            clearSelection();
    }
    syncing_ = wasSyncing;
}

void TvxScriptTableListView::UserSelected(int row)
{
    TvxScriptTableList* tables = Tables();
    if (syncing_ || !tables || row == tables->ItemIndex())
        return;
    // The grid follows on the release of the mouse button or key, not on the press.
    tables->SetItemIndex(row);
    emit OnClick();
}

void TvxScriptTableListView::UserRefresh()
{
    TvxScriptTableList* tables = Tables();
    if (tables && fieldGrid_ && tables->Count() > 0)
        tables->RefreshFields();
}

bool TvxScriptTableListView::viewportEvent(QEvent* event)
{
    // Catch up before the list is drawn, should an entry have changed unannounced.
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
