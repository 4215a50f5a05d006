#include "views/cpFieldsListBox.h"

#include "views/vxFieldTexts.h"

#include <QHeaderView>

#include <limits>
#include <stdexcept>

namespace morvane {

namespace {

constexpr int kMaxTabPosition = std::numeric_limits<int>::max() / 4;

} // namespace

TvxFieldsListBox::TvxFieldsListBox(QWidget* parent) : QTreeWidget(parent)
{
    setRootIsDecorated(false);
    setUniformRowHeights(true);
    setItemsExpandable(false);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setColumnCount(3);
    setHeaderLabels({QStringLiteral("Nome"), QStringLiteral("Tipo"), QStringLiteral("Comprimento")});
    headerItem()->setTextAlignment(2, Qt::AlignRight | Qt::AlignVCenter);
    setColumnWidth(0, 190);
    setColumnWidth(1, 100);
    SetShowHorScrollBar(false);
}

void TvxFieldsListBox::ShowFields(const TvxFieldDesc* fields, int count, int codePage)
{
    clear();
    if (!fields || count <= 0)
        return;
    QList<QTreeWidgetItem*> items;
    items.reserve(count);
    for (int i = 0; i < count; ++i) {
        const TvxFieldTexts texts = FieldTexts(fields[i], codePage, typeNames_);
        auto* item = new QTreeWidgetItem(QStringList{texts.name, texts.type, texts.length});
        item->setTextAlignment(2, Qt::AlignRight | Qt::AlignVCenter);
        items.append(item);
    }
    addTopLevelItems(items);
}

void TvxFieldsListBox::SetShowHorScrollBar(bool show)
{
    showHorScrollBar_ = show;
    setHorizontalScrollBarPolicy(show ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
}

void TvxFieldsListBox::SetTabList(const QStringList& list)
{
    tabList_ = list;
    UpdateTabStops();
}

void TvxFieldsListBox::UpdateTabStops()
{
    const int n = std::min<int>(static_cast<int>(tabList_.size()), MaxTabStops);
    std::vector<int> stops;
    stops.reserve(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) {
        bool ok = false;
        const int value = tabList_[i].trimmed().toInt(&ok, 10);
        // A position whose dialog units do not fit an int is refused like any other bad text.
        if (!ok || value > kMaxTabPosition || value < -kMaxTabPosition)
            throw std::invalid_argument("'" + tabList_[i].toStdString() + "' is not a valid integer value");
        stops.push_back(value * 4);
    }
    tabStops_ = std::move(stops);
}

QString TvxFieldsListBox::ItemText(int row, int column) const
{
    const QTreeWidgetItem* item = topLevelItem(row);
    return item ? item->text(column) : QString();
}

} // namespace morvane
