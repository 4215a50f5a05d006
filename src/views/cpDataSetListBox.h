#pragma once
// TvxDataSetListBox: the tables of the open database. Each entry owns its table's descriptor
// (freed by ClearTables or when the box is destroyed). The database connection fills the box
// through IvxDataSetList on connect and clears it on disconnect. The linked fields list
// (StructList, not owned; dropped when it is destroyed) shows the selected table's fields.
// A mouse release or a navigation key (Page Up/Down, End, Home, arrows) runs Change.

#include "db/IvxDataSetList.h"
#include "model/clvxTableDesc.h"
#include "views/cpFieldsListBox.h"
#include "views/vxNavigationKeys.h"

#include <QListWidget>
#include <QPointer>

#include <memory>
#include <string>
#include <string_view>

namespace morvane {

class TvxDataSetListBox : public QListWidget, public IvxDataSetList
{
    Q_OBJECT
public:
    explicit TvxDataSetListBox(QWidget* parent = nullptr);
    ~TvxDataSetListBox() override;

    TvxFieldsListBox* StructList() const { return structList_; }
    void SetStructList(TvxFieldsListBox* list) { structList_ = list; }

    bool Sorted() const { return isSortingEnabled(); }
    void SetSorted(bool sorted);

    // IvxDataSetList.
    void SetDatabaseHandle(IvxEngineDatabase* handle) override { databaseHandle_ = handle; }
    void ReplaceItems(TvxTableItems items) override;
    void ClearItems() override { ClearTables(); }
    IvxEngineDatabase* DatabaseHandle() const { return databaseHandle_; }

    // Adds an entry (the box takes the descriptor) and returns its position.
    int AddTable(std::string name, std::unique_ptr<TvxTableDesc> desc);

    // Shows the selected table's fields in StructList (none when nothing is selected), then
    // fires OnChange(sender).
    virtual void Change(QObject* sender);
    // Selects index (-1: none) and runs Change when the selection moves.
    void SelectIndex(int index);
    void ClearTables();

    // The selected entry's descriptor, or null.
    TvxTableDesc* SelectedTable() const;
    // The field at position index of the selected table, or null.
    const TvxFieldDesc* SelectedField(int index) const;
    // The selected entry's name as given, or empty.
    std::string SelectedName() const;
    // The descriptor of the first entry whose name equals name ignoring letter case, or null.
    TvxTableDesc* TableByName(std::string_view name) const;
    TvxTableDesc* TableAt(int index) const;
    std::string NameAt(int index) const;

signals:
    void OnChange(QObject* sender);
    // The user clicked a table or moved the selection with the keyboard.
    void OnClick();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;

private:
    void UserRefresh();

    QPointer<TvxFieldsListBox> structList_;
    IvxEngineDatabase* databaseHandle_ = nullptr;
    TvxKeyRefresh keyRefresh_;
};

} // namespace morvane
