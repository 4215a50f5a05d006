#include "views/TvxTableListItem.h"

#include "views/vxRecordText.h"

#include <QStringDecoder>

namespace morvane {

TvxTableListItem::TvxTableListItem(std::string name, std::unique_ptr<TvxTableDesc> desc)
    : QListWidgetItem(DisplayText(name)), name_(std::move(name)), desc_(std::move(desc))
{
}

void TvxTableListItem::SetName(std::string name)
{
    name_ = std::move(name);
    setText(DisplayText(name_));
}

QString TvxTableListItem::DisplayText(std::string_view name)
{
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8.decode(QByteArrayView(name.data(), static_cast<qsizetype>(name.size())));
    if (!utf8.hasError())
        return text;
    return RecordTextToQString(name, vxNewTableCodePage);
}

bool TvxTableListItem::operator<(const QListWidgetItem& other) const
{
    return text().compare(other.text(), Qt::CaseInsensitive) < 0;
}

} // namespace morvane
