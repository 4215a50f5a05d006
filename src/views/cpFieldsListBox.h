#pragma once
// TvxFieldsListBox: read-only, report-style list of a table's fields (name, type, length).
// It never keeps a descriptor: ShowFields copies the texts it shows.

#include "model/TvxFieldDesc.h"
#include "views/TvxFieldTypeNames.h"
#include "views/vxRecordText.h"

#include <QStringList>
#include <QTreeWidget>

#include <vector>

namespace morvane {

class TvxFieldsListBox : public QTreeWidget
{
    Q_OBJECT
public:
    static constexpr int MaxTabStops = 1000;

    explicit TvxFieldsListBox(QWidget* parent = nullptr);

    // Replaces the items by one per field (count <= 0 or no array: empty list). Names are
    // converted from codePage.
    virtual void ShowFields(const TvxFieldDesc* fields, int count, int codePage = vxNewTableCodePage);

    // The names shown in the type column, from the database connection's field types; the
    // items shown before keep theirs.
    const TvxFieldTypeNames& FieldTypeNames() const { return typeNames_; }
    void SetFieldTypeNames(TvxFieldTypeNames names) { typeNames_ = std::move(names); }

    bool ShowHorScrollBar() const { return showHorScrollBar_; }
    void SetShowHorScrollBar(bool show);

    // Tab positions as decimal texts. Setting copies the list and updates the tab stops, which
    // throws std::invalid_argument for an entry that is not a decimal integer (or one too large
    // to convert to dialog units); the tab stops then stay as they were.
    const QStringList& TabList() const { return tabList_; }
    void SetTabList(const QStringList& list);
    virtual void UpdateTabStops();
    // Tab stops in dialog units: the first MaxTabStops entries of TabList, each times 4.
    const std::vector<int>& TabStops() const { return tabStops_; }

    // Item texts of row (0-based) and column (0 name, 1 type, 2 length); empty when absent.
    QString ItemText(int row, int column) const;

private:
    bool showHorScrollBar_ = false;
    QStringList tabList_;
    std::vector<int> tabStops_;
    TvxFieldTypeNames typeNames_;
};

} // namespace morvane
