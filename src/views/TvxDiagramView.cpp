#include "views/TvxDiagramView.h"

#include "views/TvxDiagramTableItem.h"

#include <QGraphicsPathItem>
#include <QGraphicsScene>
#include <QGraphicsSimpleTextItem>
#include <QWheelEvent>

#include <cmath>

#include "diagram/vxDiagramDot.h"

namespace morvane {

namespace {

constexpr double ZoomStep = 1.25;
constexpr double MinZoom = 0.02;
constexpr double MaxZoom = 8;

QPointF Point(const TvxDiagramPoint& p)
{
    return {p.x, p.y};
}

QRectF Rect(const TvxDiagramRect& r)
{
    return {r.x, r.y, r.width, r.height};
}

QGraphicsSimpleTextItem* AddText(QGraphicsScene& scene, const QString& text, const QFont& font, QPointF at)
{
    QGraphicsSimpleTextItem* item = scene.addSimpleText(text, font);
    item->setPos(at);
    return item;
}

} // namespace

TvxDiagramView::TvxDiagramView(QWidget* parent) : QGraphicsView(parent)
{
    setScene(new QGraphicsScene(this));
    setDragMode(ScrollHandDrag);
    setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
    setTransformationAnchor(AnchorUnderMouse);
    setBackgroundBrush(Qt::white);
    connect(scene(), &QGraphicsScene::selectionChanged, this, &TvxDiagramView::SelectionChanged);
}

TvxDiagramView::~TvxDiagramView()
{
    // The scene goes with its items after this object: no selection signal may reach it then.
    disconnect(scene(), nullptr, this, nullptr);
    tables_.clear();
}

void TvxDiagramView::SetDiagram(const TvxDiagram& diagram, const TvxDiagramLayout& layout, const TvxDiagramTexts& texts)
{
    selecting_ = true;
    scene()->clear();
    tables_.clear();
    if (layout.isolated) {
        const QRectF r = Rect(*layout.isolated);
        scene()->addRect(r, QPen(QColor(0x9a, 0xa5, 0xb1), 1, Qt::DashLine));
        AddText(*scene(), QString::fromStdString(texts.tablesWithoutRules), DiagramFont(10),
                r.topLeft() + QPointF(8, 4));
    }
    for (std::size_t i = 0; i < diagram.rules.size() && i < layout.rules.size(); ++i)
        AddRule(diagram.rules[i], layout.rules[i], texts);
    for (std::size_t i = 0; i < diagram.tables.size() && i < layout.tables.size(); ++i) {
        auto* item = new TvxDiagramTableItem(diagram.tables[i], Rect(layout.tables[i]), texts);
        scene()->addItem(item);
        tables_.push_back(item);
    }
    if (diagram.showsChanges)
        AddLegend(layout.legend ? QPointF(layout.legend->x, layout.legend->y) : QPointF(0, layout.height + 12), texts);
    scene()->setSceneRect(scene()->itemsBoundingRect().adjusted(-12, -12, 12, 12));
    selecting_ = false;
}

void TvxDiagramView::AddRule(const TvxDiagramRule& rule, const TvxDiagramEdgePlace& place, const TvxDiagramTexts& texts)
{
    if (place.spline.empty())
        return;
    QColor colour(0x44, 0x54, 0x6a);
    QPen pen(colour, 1);
    if (rule.mark == TvxDiagramMark::Removed)
        pen = QPen(colour = QColor(0xc0, 0x39, 0x2b), 1, Qt::DashLine);
    else if (rule.mark == TvxDiagramMark::Added)
        pen = QPen(colour = QColor(0x2e, 0x8b, 0x57), 2);
    QPainterPath path(Point(place.spline[0]));
    for (std::size_t k = 1; k + 2 < place.spline.size(); k += 3)
        path.cubicTo(Point(place.spline[k]), Point(place.spline[k + 1]), Point(place.spline[k + 2]));
    scene()->addPath(path, pen);
    if (place.arrowTip) {
        const QPointF tip = Point(*place.arrowTip), base = Point(place.spline.back());
        const QPointF along = tip - base;
        const QPointF across(-along.y() * 0.4, along.x() * 0.4);
        scene()->addPolygon(QPolygonF({tip, base + across, base - across}), QPen(colour, 1), colour);
    }
    if (place.label.width > 0) {
        const QFont font = DiagramFont(8);
        const std::vector<std::string> lines = DiagramRuleLines(rule, texts);
        const double lineHeight = place.label.height / static_cast<double>(lines.size());
        for (std::size_t i = 0; i < lines.size(); ++i) {
            QGraphicsSimpleTextItem* text = scene()->addSimpleText(QString::fromStdString(lines[i]), font);
            const QRectF box = text->boundingRect();
            text->setPos(place.label.x + (place.label.width - box.width()) / 2,
                         place.label.y + lineHeight * static_cast<double>(i) + (lineHeight - box.height()) / 2);
        }
    }
}

void TvxDiagramView::AddLegend(QPointF at, const TvxDiagramTexts& texts)
{
    const QFont font = DiagramFont(10);
    const double left = at.x(), top = at.y();
    AddText(*scene(), QString::fromStdString(texts.legend), DiagramFont(10, true), {left, top});
    const std::pair<TvxDiagramMark, const std::string*> rows[] = {{TvxDiagramMark::Added, &texts.added},
                                                                  {TvxDiagramMark::Removed, &texts.removed},
                                                                  {TvxDiagramMark::Renamed, &texts.renamed},
                                                                  {TvxDiagramMark::Changed, &texts.changed}};
    double y = top + 16;
    for (const auto& [mark, text] : rows) {
        scene()->addRect(QRectF(left, y, 28, 14), QPen(QColor(0x44, 0x54, 0x6a)),
                         QColor(QLatin1String(DiagramMarkColour(mark))));
        AddText(*scene(), QLatin1String(DiagramMarkText(mark)), font, {left + 4, y});
        AddText(*scene(), QString::fromStdString(*text), font, {left + 34, y});
        y += 17;
    }
}

bool TvxDiagramView::SelectTable(const std::string& name)
{
    selecting_ = true;
    scene()->clearSelection();
    TvxDiagramTableItem* found = nullptr;
    for (TvxDiagramTableItem* item : tables_)
        if (!found && item->Names(name))
            found = item;
    if (found) {
        found->setSelected(true);
        ensureVisible(found);
    }
    selecting_ = false;
    return found != nullptr;
}

std::string TvxDiagramView::SelectedTable() const
{
    for (TvxDiagramTableItem* item : tables_)
        if (item->isSelected())
            return item->Table().name;
    return {};
}

void TvxDiagramView::SelectionChanged()
{
    if (selecting_)
        return;
    const std::string name = SelectedTable();
    if (!name.empty())
        emit TableSelected(QString::fromStdString(name));
}

void TvxDiagramView::ZoomIn()
{
    if (Zoom() * ZoomStep <= MaxZoom)
        scale(ZoomStep, ZoomStep);
}

void TvxDiagramView::ZoomOut()
{
    if (Zoom() / ZoomStep >= MinZoom)
        scale(1 / ZoomStep, 1 / ZoomStep);
}

void TvxDiagramView::FitAll()
{
    fitInView(scene()->sceneRect(), Qt::KeepAspectRatio);
    if (Zoom() > 1) // a small drawing keeps its natural size
        setTransform(QTransform());
}

void TvxDiagramView::wheelEvent(QWheelEvent* event)
{
    if (!(event->modifiers() & Qt::ControlModifier)) {
        QGraphicsView::wheelEvent(event);
        return;
    }
    if (event->angleDelta().y() > 0)
        ZoomIn();
    else if (event->angleDelta().y() < 0)
        ZoomOut();
    event->accept();
}

} // namespace morvane
