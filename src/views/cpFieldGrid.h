#pragma once
// TvxFieldGrid: the three-column grid of a new table's fields. Rows are numbered as the table
// list sees them: row 0 is the title row (shown as the grid's header, never selectable), rows
// 1..n hold the n fields in order, and the last row is always blank (a new field). The grid
// always has a selected row from 1 on, like a string grid with a fixed title row.
// OnSelectField reports the selected row, or -1 for the title row, the blank row, or while the
// grid knows no field types (no database connection has given them yet). The grid never reads
// a descriptor on its own.

#include "model/TvxFieldDesc.h"
#include "script/IvxStructFields.h"
#include "views/TvxFieldTypeNames.h"
#include "views/vxRecordText.h"

#include <QStringList>
#include <QTableWidget>

namespace morvane {

class TvxFieldGrid : public QTableWidget, public IvxStructFields
{
    Q_OBJECT
public:
    explicit TvxFieldGrid(QWidget* parent = nullptr);

    // Column titles (row 0). Setting copies them and sets the column count to their number.
    const QStringList& Columns() const { return columns_; }
    void SetColumns(const QStringList& titles);

    // Rows, title row included; the cell texts of row (>= 1) and column; empty when absent.
    int RowCount() const { return rowCount() + 1; }
    QString Cells(int column, int row) const;
    // The selected row (>= 1), or -1 when none. SelectRow moves the selection (row >= 1) and
    // notifies like a click.
    int Row() const;
    void SelectRow(int row);

    // Code page of the field names written from now on (0 or less: that of new tables). The
    // table list sets it to the shown table's before it writes rows.
    int CodePage() const { return codePage_; }
    void SetCodePage(int codePage) { codePage_ = codePage; }

    // The names shown in the type column, from the database connection's field types.
    const TvxFieldTypeNames& FieldTypeNames() const { return typeNames_; }
    void SetFieldTypeNames(TvxFieldTypeNames names) { typeNames_ = std::move(names); }

    // IvxStructFields. Field names are converted from CodePage().
    void ShowFields(const TvxFieldDesc* fields, int count) override;
    void InsertAtCurrentRow(const TvxFieldDesc& field) override;
    void UpdateCurrentRow(const TvxFieldDesc& field) override;
    void DeleteRow(int row) override;
    int SelectedRow() const override { return Row(); }

    void ClearRow(int row);
    // Adds a row at the end, moves rows row..last down one, writes field into row and selects
    // row + 1 (the last row when that does not exist).
    void InsertRow(const TvxFieldDesc& field, int row);

signals:
    void OnSelectField(int Row);

protected:
    virtual void DoSelectField(int row);
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;

private:
    void SetRowCount(int rows);
    void WriteRow(int row, const TvxFieldDesc& field);
    void SetCellText(int column, int row, const QString& text);

    QStringList columns_;
    int codePage_ = vxNewTableCodePage;
    TvxFieldTypeNames typeNames_;
};

} // namespace morvane
