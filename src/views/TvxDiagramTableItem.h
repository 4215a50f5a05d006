#pragma once
// TvxDiagramTableItem: one table's box of a diagram, in the rectangle Graphviz gave it: the
// heading (change mark, name, index count, protection), then one row per field (key or index
// mark, change mark, name, type, what it was), each row coloured by its change. Selectable.

#include <QGraphicsItem>

#include "diagram/TvxDiagram.h"
#include "diagram/TvxDiagramTexts.h"

namespace morvane {

class TvxDiagramTableItem : public QGraphicsItem
{
public:
    // rect in scene units (points); the table and the texts are copied.
    TvxDiagramTableItem(const TvxDiagramTable& table, const QRectF& rect, const TvxDiagramTexts& texts);

    const TvxDiagramTable& Table() const { return table_; }
    // The table is named so, or was so named before the script (letter case ignored).
    bool Names(const std::string& name) const;

    QRectF boundingRect() const override;
    void paint(QPainter* painter, const QStyleOptionGraphicsItem* option, QWidget* widget) override;

private:
    TvxDiagramTable table_;
    QRectF rect_;
    const TvxDiagramTexts texts_;
};

// The fonts of a diagram: pixel sizes in points, as Graphviz measured them.
QFont DiagramFont(int pointSize, bool bold = false);

} // namespace morvane
