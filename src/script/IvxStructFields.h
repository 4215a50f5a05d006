#pragma once
// What a field grid offers to the new-structure table list (TvxScriptTableList), which keeps
// it in step with the selected table's fields. Row 0 is the title row, rows 1..n show the n
// fields in order, and the last row is always blank (it stands for a new field).

#include "model/TvxFieldDesc.h"

namespace morvane {

class IvxStructFields
{
public:
    virtual ~IvxStructFields() = default;
    // Shows count fields (fields may be null when count is 0): count + 2 rows, or 2 rows when empty.
    virtual void ShowFields(const TvxFieldDesc* fields, int count) = 0;
    // Inserts a row holding field at the selected row; the rows from there move down one and
    // the row after the inserted one becomes selected.
    virtual void InsertAtCurrentRow(const TvxFieldDesc& field) = 0;
    // Writes field into the selected row.
    virtual void UpdateCurrentRow(const TvxFieldDesc& field) = 0;
    // Removes row; the grid keeps at least the title row and the blank row.
    virtual void DeleteRow(int row) = 0;
    // The selected row, or -1 when none.
    virtual int SelectedRow() const = 0;
};

} // namespace morvane
