#pragma once
// One entry of a table list box: the table name as given (single-byte, as the file system or
// the script gives it) and the table's descriptor, which the entry owns.

#include "model/clvxTableDesc.h"

#include <QListWidgetItem>

#include <memory>
#include <string>

namespace morvane {

class TvxTableListItem : public QListWidgetItem
{
public:
    TvxTableListItem(std::string name, std::unique_ptr<TvxTableDesc> desc);

    const std::string& Name() const { return name_; }
    void SetName(std::string name);
    TvxTableDesc* Desc() const { return desc_.get(); }

    // Display text of a table name as the file system gives it (UTF-8 when valid, else
    // Windows-1252).
    static QString DisplayText(std::string_view name);
    // Sorted lists order entries ignoring letter case.
    bool operator<(const QListWidgetItem& other) const override;

private:
    std::string name_;
    std::unique_ptr<TvxTableDesc> desc_;
};

} // namespace morvane
