#include "views/cpDataSetListBox.h"

#include "db/cpDatabase.h"
#include "views/TvxTableListItem.h"

#include <QKeyEvent>
#include <QMouseEvent>

#include <algorithm>

namespace morvane {

namespace {

TvxTableListItem* EntryOf(QListWidgetItem* item)
{
    return static_cast<TvxTableListItem*>(item);
}

} // namespace

TvxDataSetListBox::TvxDataSetListBox(QWidget* parent) : QListWidget(parent)
{
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
}

TvxDataSetListBox::~TvxDataSetListBox()
{
    TvxDatabase::NotifyDataSetListDestroyed(this);
}

void TvxDataSetListBox::SetSorted(bool sorted)
{
    setSortingEnabled(sorted);
    if (sorted)
        sortItems();
}

void TvxDataSetListBox::ReplaceItems(TvxTableItems items)
{
    ClearTables();
    for (TvxTableItem& item : items)
        if (item.desc)
            AddTable(std::move(item.name), std::move(item.desc));
}

int TvxDataSetListBox::AddTable(std::string name, std::unique_ptr<TvxTableDesc> desc)
{
    auto* item = new TvxTableListItem(std::move(name), std::move(desc));
    addItem(item);
    return row(item);
}

void TvxDataSetListBox::Change(QObject* sender)
{
    if (structList_) {
        const TvxTableDesc* table = SelectedTable();
        if (table) {
            const int count = std::min(table->FieldCount(), static_cast<int>(table->Fields().size()));
            structList_->ShowFields(table->Fields().data(), count, table->CodePage());
        } else {
            structList_->ShowFields(nullptr, 0);
        }
    }
    emit OnChange(sender);
}

void TvxDataSetListBox::SelectIndex(int index)
{
    if (index < -1 || index >= count())
        index = -1;
    if (index == currentRow())
        return;
    setCurrentRow(index);
    if (index < 0)
        clearSelection();
    Change(this);
}

void TvxDataSetListBox::ClearTables()
{
    SelectIndex(-1);
    while (count() > 0)
        delete takeItem(0);
}

TvxTableDesc* TvxDataSetListBox::SelectedTable() const
{
    return TableAt(currentRow());
}

const TvxFieldDesc* TvxDataSetListBox::SelectedField(int index) const
{
    const TvxTableDesc* table = SelectedTable();
    return table ? table->GetField(index) : nullptr;
}

std::string TvxDataSetListBox::SelectedName() const
{
    return NameAt(currentRow());
}

TvxTableDesc* TvxDataSetListBox::TableByName(std::string_view name) const
{
    const QString wanted = TvxTableListItem::DisplayText(name);
    for (int i = 0; i < count(); ++i)
        if (item(i)->text().compare(wanted, Qt::CaseInsensitive) == 0)
            return TableAt(i);
    return nullptr;
}

TvxTableDesc* TvxDataSetListBox::TableAt(int index) const
{
    QListWidgetItem* entry = index >= 0 ? item(index) : nullptr;
    return entry ? EntryOf(entry)->Desc() : nullptr;
}

std::string TvxDataSetListBox::NameAt(int index) const
{
    QListWidgetItem* entry = index >= 0 ? item(index) : nullptr;
    return entry ? EntryOf(entry)->Name() : std::string();
}

void TvxDataSetListBox::UserRefresh()
{
    if (structList_ && count() > 0)
        Change(this);
}

void TvxDataSetListBox::mouseReleaseEvent(QMouseEvent* event)
{
    const int before = currentRow();
    QListWidget::mouseReleaseEvent(event);
    UserRefresh();
    if (currentRow() != before || itemAt(event->position().toPoint()))
        emit OnClick();
}

void TvxDataSetListBox::keyPressEvent(QKeyEvent* event)
{
    keyRefresh_.Pressed(*event, currentRow());
    const int before = currentRow();
    QListWidget::keyPressEvent(event);
    if (currentRow() != before)
        emit OnClick();
}

void TvxDataSetListBox::keyReleaseEvent(QKeyEvent* event)
{
    QListWidget::keyReleaseEvent(event);
    if (keyRefresh_.Released(*event, currentRow()))
        UserRefresh();
}

} // namespace morvane
