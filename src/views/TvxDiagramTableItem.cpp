#include "views/TvxDiagramTableItem.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QStyleOptionGraphicsItem>

#include "diagram/vxDiagramDot.h"

namespace morvane {

namespace {

QString Utf8(const std::string& text)
{
    return QString::fromStdString(text);
}

const QColor LineColour(0x44, 0x54, 0x6a);
const QColor HeadingColour(0xdb, 0xe5, 0xf1);
const QColor SelectedColour(0x1f, 0x6f, 0xd0);

QColor MarkColour(TvxDiagramMark mark)
{
    return QColor(QLatin1String(DiagramMarkColour(mark)));
}

} // namespace

QFont DiagramFont(int pointSize, bool bold)
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(pointSize);
    font.setBold(bold);
    return font;
}

TvxDiagramTableItem::TvxDiagramTableItem(const TvxDiagramTable& table, const QRectF& rect, const TvxDiagramTexts& texts)
    : table_(table), rect_(rect), texts_(texts)
{
    setFlag(ItemIsSelectable);
    setToolTip(Utf8(table.name));
}

bool TvxDiagramTableItem::Names(const std::string& name) const
{
    return SameTableName(table_.name, name) || (!table_.oldName.empty() && SameTableName(table_.oldName, name));
}

QRectF TvxDiagramTableItem::boundingRect() const
{
    return rect_.adjusted(-2, -2, 2, 2);
}

void TvxDiagramTableItem::paint(QPainter* painter, const QStyleOptionGraphicsItem*, QWidget*)
{
    const int rows = 1 + static_cast<int>(table_.fields.size());
    const double rowHeight = rect_.height() / rows;
    const QFont normal = DiagramFont(10), bold = DiagramFont(10, true), small = DiagramFont(8);
    const QFontMetricsF smallMetrics(small), normalMetrics(normal);
    const double pad = 3;

    painter->fillRect(rect_, Qt::white);
    // Heading.
    const QRectF heading(rect_.left(), rect_.top(), rect_.width(), rowHeight);
    painter->fillRect(heading, table_.mark == TvxDiagramMark::None ? HeadingColour : MarkColour(table_.mark));
    const QString notes = Utf8(DiagramTableNotes(table_, texts_));
    // The change mark, then the name (struck through when the table goes).
    painter->setPen(Qt::black);
    painter->setFont(bold);
    const QString mark = table_.mark == TvxDiagramMark::None
                             ? QString()
                             : QLatin1String(DiagramMarkText(table_.mark)) + QLatin1Char(' ');
    double nameWidth = QFontMetricsF(bold).horizontalAdvance(mark);
    painter->drawText(heading.adjusted(pad, 0, -pad, 0), Qt::AlignLeft | Qt::AlignVCenter, mark);
    QFont headingFont = bold;
    headingFont.setStrikeOut(table_.mark == TvxDiagramMark::Removed);
    painter->setFont(headingFont);
    painter->drawText(heading.adjusted(pad + nameWidth, 0, -pad, 0), Qt::AlignLeft | Qt::AlignVCenter,
                      Utf8(table_.name));
    nameWidth += QFontMetricsF(headingFont).horizontalAdvance(Utf8(table_.name));
    painter->setFont(small);
    painter->drawText(heading.adjusted(pad + nameWidth + 4, 0, -pad, 0), Qt::AlignLeft | Qt::AlignVCenter,
                      smallMetrics.elidedText(notes, Qt::ElideRight, heading.width() - nameWidth - 2 * pad - 4));

    // Columns: the key or index mark, the name, the type.
    double markWidth = 0, typeWidth = 0;
    for (const TvxDiagramField& f : table_.fields) {
        const std::string& mark = f.key ? texts_.keyMark : f.indexed ? texts_.indexMark : std::string();
        markWidth = std::max(markWidth, smallMetrics.horizontalAdvance(Utf8(mark)));
        typeWidth = std::max(typeWidth, normalMetrics.horizontalAdvance(Utf8(f.type)));
    }
    for (int i = 0; i < rows - 1; ++i) {
        const TvxDiagramField& f = table_.fields[static_cast<std::size_t>(i)];
        const QRectF row(rect_.left(), rect_.top() + rowHeight * (i + 1), rect_.width(), rowHeight);
        if (f.mark != TvxDiagramMark::None)
            painter->fillRect(row, MarkColour(f.mark));
        painter->setFont(small);
        painter->drawText(QRectF(row.left() + pad, row.top(), markWidth, row.height()),
                          Qt::AlignLeft | Qt::AlignVCenter,
                          Utf8(f.key       ? texts_.keyMark
                               : f.indexed ? texts_.indexMark
                                           : std::string()));
        // The change mark, then the name (struck through when the field goes) and what it was.
        QFont font = f.key ? bold : normal;
        const QString mark =
            f.mark == TvxDiagramMark::None ? QString() : QLatin1String(DiagramMarkText(f.mark)) + QLatin1Char(' ');
        QString text = Utf8(f.name);
        if (!f.oldName.empty() || !f.oldType.empty())
            text += QStringLiteral(" (") + Utf8(texts_.formerly) + QLatin1Char(' ') +
                    (Utf8(f.oldName) + QLatin1Char(' ') + Utf8(f.oldType)).trimmed() + QLatin1Char(')');
        QRectF nameRect(row.left() + 2 * pad + markWidth, row.top(), row.width() - 4 * pad - markWidth - typeWidth,
                        row.height());
        painter->setFont(font);
        painter->drawText(nameRect, Qt::AlignLeft | Qt::AlignVCenter, mark);
        nameRect.setLeft(nameRect.left() + QFontMetricsF(font).horizontalAdvance(mark));
        font.setStrikeOut(f.mark == TvxDiagramMark::Removed);
        painter->setFont(font);
        painter->drawText(nameRect, Qt::AlignLeft | Qt::AlignVCenter,
                          QFontMetricsF(font).elidedText(text, Qt::ElideRight, nameRect.width()));
        painter->setFont(normal);
        painter->drawText(QRectF(row.right() - pad - typeWidth, row.top(), typeWidth, row.height()),
                          Qt::AlignLeft | Qt::AlignVCenter, Utf8(f.type));
    }

    QPen border(isSelected() ? SelectedColour : LineColour, isSelected() ? 2.5 : 1);
    if (table_.missing || table_.mark == TvxDiagramMark::Removed)
        border.setStyle(Qt::DashLine);
    painter->setPen(border);
    painter->setBrush(Qt::NoBrush);
    painter->drawRect(rect_);
}

} // namespace morvane
