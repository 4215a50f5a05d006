#pragma once
// TvxDiagramWindow: the "Diagrama" window: a tool bar (zoom, fit, export to PNG and SVG, print
// through the system's print dialog) over a TvxDiagramView. It owns the diagram and its
// Graphviz layout, from which the exports are rendered. Export file names are asked through the
// prompts and failures shown through the messages; both outlive the window.

#include <QWidget>

#include <memory>

#include "diagram/TvxDiagram.h"
#include "diagram/TvxDiagramTexts.h"

class QAction;

namespace morvane {

class IvxPrompts;
class TvxDiagramGraph;
class TvxDiagramView;
class TvxMessages;
enum class TvxDiagramFormat;

// The words drawn in a diagram, from the string table.
TvxDiagramTexts DiagramTextsFromStrings();

class TvxDiagramWindow : public QWidget
{
    Q_OBJECT

public:
    TvxDiagramWindow(TvxDiagram diagram, std::unique_ptr<TvxDiagramGraph> graph, IvxPrompts& prompts,
                     TvxMessages& messages, QWidget* parent = nullptr);
    ~TvxDiagramWindow() override;

    const TvxDiagram& Diagram() const { return diagram_; }
    TvxDiagramView& View() const { return *view_; }

    QAction* ZoomIn = nullptr;
    QAction* ZoomOut = nullptr;
    QAction* Fit = nullptr;
    QAction* ExportPng = nullptr;
    QAction* ExportSvg = nullptr;
    QAction* Print = nullptr;

    // Asks for a file name and writes the picture there; nothing written when cancelled.
    void Export(TvxDiagramFormat format);
    void PrintDiagram();

private:
    TvxDiagram diagram_;
    std::unique_ptr<TvxDiagramGraph> graph_;
    IvxPrompts& prompts_;
    TvxMessages& messages_;
    TvxDiagramView* view_ = nullptr;
};

} // namespace morvane
