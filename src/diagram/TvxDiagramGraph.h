#pragma once
// TvxDiagramGraph: a diagram laid out by Graphviz's dot (linked in, with its core and cairo
// renderers; no plug-in configuration is read). Construction lays it out; the object then gives
// the positions or renders SVG, PNG or the laid-out DOT. Throws EvxDiagramError. Graphviz keeps
// global state: use the class from one thread at a time.

#include <memory>
#include <string>
#include <string_view>

#include "diagram/TvxDiagram.h"
#include "diagram/TvxDiagramLayout.h"
#include "diagram/TvxDiagramTexts.h"

namespace morvane {

enum class TvxDiagramFormat { Svg, Png, Dot };

// The format a file name asks for by its extension (any letter case); nullopt for others.
std::optional<TvxDiagramFormat> DiagramFormatOf(std::string_view fileName);

class TvxDiagramGraph
{
public:
    explicit TvxDiagramGraph(const TvxDiagram& diagram, const TvxDiagramTexts& texts = {});
    ~TvxDiagramGraph();
    TvxDiagramGraph(const TvxDiagramGraph&) = delete;
    TvxDiagramGraph& operator=(const TvxDiagramGraph&) = delete;

    const TvxDiagramLayout& Layout() const { return layout_; }
    std::string Render(TvxDiagramFormat format) const;
    // Rendered whole first, then written through a temporary file renamed over fileName.
    void RenderToFile(const std::string& fileName, TvxDiagramFormat format) const;

private:
    struct Graphviz;
    std::unique_ptr<Graphviz> gv_;
    TvxDiagramLayout layout_;
};

} // namespace morvane
