#pragma once
// TvxDiagramView: a diagram drawn from the positions Graphviz gave it (the view lays nothing out
// itself): table boxes, rule arrows along their splines with their labels, the cluster of
// tables without rules and, over a script, the legend of the change marks. Zoom (also
// Ctrl+wheel), pan by dragging, fit. At most one box is selected; when the user selects one,
// TableSelected gives its name (UTF-8, as the diagram names it).

#include <QGraphicsView>

#include <string>
#include <vector>

#include "diagram/TvxDiagram.h"
#include "diagram/TvxDiagramLayout.h"
#include "diagram/TvxDiagramTexts.h"

namespace morvane {

class TvxDiagramTableItem;

class TvxDiagramView : public QGraphicsView
{
    Q_OBJECT

public:
    explicit TvxDiagramView(QWidget* parent = nullptr);
    ~TvxDiagramView() override;

    // Draws the diagram anew, at the positions of layout (both copied); nothing selected.
    void SetDiagram(const TvxDiagram& diagram, const TvxDiagramLayout& layout, const TvxDiagramTexts& texts);

    // Selects the box of the table so named, or so named before the script (letter case
    // ignored), and brings it into view, without TableSelected; an unknown name clears the
    // selection. False when no box has that name.
    bool SelectTable(const std::string& name);
    // The selected box's table name; empty when none.
    std::string SelectedTable() const;
    // The boxes, in the diagram's order.
    const std::vector<TvxDiagramTableItem*>& TableItems() const { return tables_; }

    void ZoomIn();
    void ZoomOut();
    // The whole drawing in the window.
    void FitAll();
    double Zoom() const { return transform().m11(); }

signals:
    void TableSelected(const QString& name);

protected:
    void wheelEvent(QWheelEvent* event) override;

private:
    void AddRule(const TvxDiagramRule& rule, const TvxDiagramEdgePlace& place, const TvxDiagramTexts& texts);
    void AddLegend(QPointF at, const TvxDiagramTexts& texts);
    void SelectionChanged();

    std::vector<TvxDiagramTableItem*> tables_;
    bool selecting_ = false;
};

} // namespace morvane
