#include "views/cpFieldGrid.h"

#include "views/vxFieldTexts.h"

#include <QHeaderView>

namespace morvane {

namespace {

constexpr int kFieldColumns = 3;

} // namespace

TvxFieldGrid::TvxFieldGrid(QWidget* parent) : QTableWidget(parent)
{
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setShowGrid(false);
    setWordWrap(false);
    verticalHeader()->setVisible(false);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(16);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setSectionsClickable(false);
    // A string grid writes every cell, titles included, from the left.
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    SetColumns({QStringLiteral("Nome"), QStringLiteral("Tipo"), QStringLiteral("Compr.")});
    setColumnWidth(0, 190);
    setColumnWidth(1, 100);
    setColumnWidth(2, 50);
    SetRowCount(2);
    setCurrentCell(0, 0);
}

void TvxFieldGrid::SetColumns(const QStringList& titles)
{
    columns_ = titles;
    setColumnCount(static_cast<int>(columns_.size()));
    setHorizontalHeaderLabels(columns_);
}

QString TvxFieldGrid::Cells(int column, int row) const
{
    if (row < 1)
        return row == 0 && column >= 0 && column < columns_.size() ? columns_[column] : QString();
    const QTableWidgetItem* cell = item(row - 1, column);
    return cell ? cell->text() : QString();
}

int TvxFieldGrid::Row() const
{
    const int row = currentRow();
    return row < 0 ? -1 : row + 1;
}

void TvxFieldGrid::SelectRow(int row)
{
    if (row < 1 || row >= RowCount())
        return;
    setCurrentCell(row - 1, std::max(currentColumn(), 0));
}

void TvxFieldGrid::SetRowCount(int rows)
{
    setRowCount(std::max(rows, 2) - 1);
    if (currentRow() < 0)
        SelectRow(RowCount() - 1);
}

void TvxFieldGrid::SetCellText(int column, int row, const QString& text)
{
    if (row < 1 || row >= RowCount() || column < 0 || column >= columnCount())
        return;
    QTableWidgetItem* cell = item(row - 1, column);
    if (!cell) {
        if (text.isEmpty())
            return;
        cell = new QTableWidgetItem;
        setItem(row - 1, column, cell);
    }
    cell->setText(text);
}

void TvxFieldGrid::WriteRow(int row, const TvxFieldDesc& field)
{
    const TvxFieldTexts texts = FieldTexts(field, codePage_, typeNames_);
    SetCellText(0, row, texts.name);
    SetCellText(1, row, texts.type);
    SetCellText(2, row, texts.length);
}

void TvxFieldGrid::ClearRow(int row)
{
    for (int column = 0; column < kFieldColumns; ++column)
        SetCellText(column, row, QString());
}

void TvxFieldGrid::ShowFields(const TvxFieldDesc* fields, int count)
{
    if (!fields || count <= 0) {
        SetRowCount(2);
        ClearRow(1);
        return;
    }
    SetRowCount(count + 2);
    for (int i = 0; i < count; ++i)
        WriteRow(i + 1, fields[i]);
    ClearRow(count + 1);
}

void TvxFieldGrid::InsertRow(const TvxFieldDesc& field, int row)
{
    const int oldLast = RowCount() - 1;
    if (row < 1 || row > oldLast)
        return;
    SetRowCount(RowCount() + 1);
    for (int r = oldLast; r >= row; --r)
        for (int column = 0; column < kFieldColumns; ++column)
            SetCellText(column, r + 1, Cells(column, r));
    WriteRow(row, field);
    SelectRow(row + 1 < RowCount() ? row + 1 : RowCount() - 1);
}

void TvxFieldGrid::InsertAtCurrentRow(const TvxFieldDesc& field)
{
    InsertRow(field, Row());
}

void TvxFieldGrid::UpdateCurrentRow(const TvxFieldDesc& field)
{
    if (Row() >= 1)
        WriteRow(Row(), field);
}

void TvxFieldGrid::DeleteRow(int row)
{
    if (row < 1 || row >= RowCount())
        return;
    const int last = RowCount() - 1;
    for (int r = row; r < last; ++r)
        for (int column = 0; column < kFieldColumns; ++column)
            SetCellText(column, r, Cells(column, r + 1));
    if (RowCount() > 2)
        SetRowCount(RowCount() - 1);
    else
        ClearRow(1);
}

void TvxFieldGrid::DoSelectField(int row)
{
    emit OnSelectField(row);
}

void TvxFieldGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous)
{
    QTableWidget::currentChanged(current, previous);
    if (!current.isValid() || (previous.isValid() && previous.row() == current.row()))
        return;
    const int row = current.row() + 1;
    const bool isField = row >= 1 && row < RowCount() - 1 && !typeNames_.Empty();
    DoSelectField(isField ? row : -1);
}

} // namespace morvane
