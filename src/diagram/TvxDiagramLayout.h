#pragma once
// TvxDiagramLayout: where Graphviz placed a diagram, in points (1/72 inch), y growing
// downwards from the drawing's top-left corner, for a program that draws it itself.

#include <optional>
#include <string>
#include <vector>

namespace morvane {

struct TvxDiagramPoint
{
    double x = 0;
    double y = 0;
};

struct TvxDiagramRect
{
    double x = 0; // left
    double y = 0; // top
    double width = 0;
    double height = 0;
};

struct TvxDiagramEdgePlace
{
    // Cubic Bézier pieces: the first point, then three points per piece.
    std::vector<TvxDiagramPoint> spline;
    std::optional<TvxDiagramPoint> arrowTip; // the arrow runs from the spline's end to here
    TvxDiagramRect label;                    // empty when the edge has no label
};

struct TvxDiagramLayout
{
    double width = 0;
    double height = 0;
    std::vector<TvxDiagramRect> tables;     // as TvxDiagram::tables
    std::vector<TvxDiagramEdgePlace> rules; // as TvxDiagram::rules
    std::optional<TvxDiagramRect> isolated; // the cluster of tables without rules
    std::optional<TvxDiagramRect> legend;   // the room left for the legend of the change marks
};

} // namespace morvane
