#include "diagram/TvxDiagramGraph.h"

#include "script/TvxScriptDocument.h"
#include "stream/TvxStream.h"

#include <cmath>
#include <cstring>
#include <graphviz/gvc.h>

#include "diagram/EvxDiagramError.h"
#include "diagram/vxDiagramDot.h"

extern "C" {
extern gvplugin_library_t gvplugin_dot_layout_LTX_library;
extern gvplugin_library_t gvplugin_core_LTX_library;
extern gvplugin_library_t gvplugin_pango_LTX_library;
}

namespace morvane {

namespace {

// The renderers and the layout are linked in: no plug-in configuration file is needed.
const lt_symlist_t vxGraphvizPlugins[] = {
    {"gvplugin_dot_layout_LTX_library", &gvplugin_dot_layout_LTX_library},
    {"gvplugin_core_LTX_library", &gvplugin_core_LTX_library},
    {"gvplugin_pango_LTX_library", &gvplugin_pango_LTX_library},
    {nullptr, nullptr},
};

// A bitmap larger than this is drawn at a lower resolution (about 160 MB of pixels).
constexpr double MaxPixels = 40e6;
constexpr double PngDpi = 96;

std::string& GraphvizMessages()
{
    static std::string messages;
    return messages;
}

int CollectMessage(char* text)
{
    GraphvizMessages() += text;
    return 0;
}

[[noreturn]] void Fail(const std::string& what)
{
    std::string text = what;
    if (!GraphvizMessages().empty())
        text += ": " + GraphvizMessages();
    while (!text.empty() && (text.back() == '\n' || text.back() == ' '))
        text.pop_back();
    throw EvxDiagramError(text);
}

const char* FormatName(TvxDiagramFormat format)
{
    switch (format) {
    case TvxDiagramFormat::Svg:
        return "svg";
    case TvxDiagramFormat::Png:
        return "png";
    case TvxDiagramFormat::Dot:
        return "dot";
    }
    return "svg";
}

} // namespace

std::optional<TvxDiagramFormat> DiagramFormatOf(std::string_view fileName)
{
    const std::size_t dot = fileName.find_last_of('.');
    if (dot == std::string_view::npos || fileName.find_first_of("/\\", dot) != std::string_view::npos)
        return std::nullopt;
    std::string ext(fileName.substr(dot + 1));
    for (char& c : ext)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (ext == "svg")
        return TvxDiagramFormat::Svg;
    if (ext == "png")
        return TvxDiagramFormat::Png;
    if (ext == "dot" || ext == "gv")
        return TvxDiagramFormat::Dot;
    return std::nullopt;
}

struct TvxDiagramGraph::Graphviz
{
    GVC_t* gvc = nullptr;
    Agraph_t* graph = nullptr;
    bool laidOut = false;

    ~Graphviz()
    {
        if (laidOut)
            gvFreeLayout(gvc, graph);
        if (graph)
            agclose(graph);
        if (gvc)
            gvFreeContext(gvc);
    }
};

TvxDiagramGraph::TvxDiagramGraph(const TvxDiagram& diagram, const TvxDiagramTexts& texts)
    : gv_(std::make_unique<Graphviz>())
{
    GraphvizMessages().clear();
    agseterr(AGERR);
    agseterrf(CollectMessage);
    gv_->gvc = gvContextPlugins(vxGraphvizPlugins, 0);
    if (!gv_->gvc)
        Fail("Graphviz could not start");
    const std::string dot = DiagramDot(diagram, texts);
    gv_->graph = agmemread(dot.c_str());
    if (!gv_->graph)
        Fail("Graphviz refused the graph");
    if (gvLayout(gv_->gvc, gv_->graph, "dot") != 0)
        Fail("Graphviz could not lay the graph out");
    gv_->laidOut = true;
    // Graphviz goes on after an error in a label; a picture with a wrong box is not drawn.
    if (!GraphvizMessages().empty())
        Fail("Graphviz could not lay the graph out");

    Agraph_t* g = gv_->graph;
    const boxf bb = GD_bb(g);
    layout_.width = bb.UR.x - bb.LL.x;
    layout_.height = bb.UR.y - bb.LL.y;
    const auto point = [&](pointf p) { return TvxDiagramPoint{p.x - bb.LL.x, bb.UR.y - p.y}; };
    const auto rect = [&](pointf centre, double width, double height) {
        const TvxDiagramPoint c = point(centre);
        return TvxDiagramRect{c.x - width / 2, c.y - height / 2, width, height};
    };

    layout_.tables.resize(diagram.tables.size());
    for (std::size_t i = 0; i < diagram.tables.size(); ++i) {
        Agnode_t* n = agnode(g, const_cast<char*>(diagram.tables[i].name.c_str()), 0);
        if (n)
            layout_.tables[i] = rect(ND_coord(n), ND_width(n) * 72, ND_height(n) * 72);
    }
    layout_.rules.resize(diagram.rules.size());
    for (Agnode_t* n = agfstnode(g); n; n = agnxtnode(g, n)) {
        for (Agedge_t* e = agfstout(g, n); e; e = agnxtout(g, e)) {
            const char* id = agget(e, const_cast<char*>("id"));
            if (!id || id[0] != 'r')
                continue;
            const std::size_t rule = std::strtoul(id + 1, nullptr, 10);
            if (rule >= layout_.rules.size())
                continue;
            TvxDiagramEdgePlace& place = layout_.rules[rule];
            if (const splines* spl = ED_spl(e); spl && spl->size > 0) {
                const bezier& bz = spl->list[0];
                for (int k = 0; k < bz.size; ++k)
                    place.spline.push_back(point(bz.list[k]));
                if (bz.eflag)
                    place.arrowTip = point(bz.ep);
            }
            if (const textlabel_t* label = ED_label(e))
                place.label = rect(label->pos, label->dimen.x, label->dimen.y);
        }
    }
    if (const textlabel_t* label = GD_label(g); label && diagram.showsChanges)
        layout_.legend = rect(label->pos, label->dimen.x, label->dimen.y);
    for (int c = 1; c <= GD_n_cluster(g); ++c) {
        Agraph_t* sub = GD_clust(g)[c];
        if (std::strcmp(agnameof(sub), vxIsolatedCluster) == 0) {
            const boxf cb = GD_bb(sub);
            layout_.isolated =
                TvxDiagramRect{cb.LL.x - bb.LL.x, bb.UR.y - cb.UR.y, cb.UR.x - cb.LL.x, cb.UR.y - cb.LL.y};
        }
    }
}

TvxDiagramGraph::~TvxDiagramGraph() = default;

std::string TvxDiagramGraph::Render(TvxDiagramFormat format) const
{
    GraphvizMessages().clear();
    if (format == TvxDiagramFormat::Png) {
        const double pixels = layout_.width * layout_.height * (PngDpi / 72) * (PngDpi / 72);
        GD_drawing(gv_->graph)->dpi = pixels > MaxPixels ? PngDpi * std::sqrt(MaxPixels / pixels) : PngDpi;
    }
    char* data = nullptr;
    unsigned int length = 0;
    if (gvRenderData(gv_->gvc, gv_->graph, FormatName(format), &data, &length) != 0 || !data)
        Fail(std::string("Graphviz could not render ") + FormatName(format));
    std::string out(data, length);
    gvFreeRenderData(data);
    return out;
}

void TvxDiagramGraph::RenderToFile(const std::string& fileName, TvxDiagramFormat format) const
{
    const std::string data = Render(format);
    SaveFileAtomically(fileName, [&](TvxStream& stream) {
        if (stream.Write(data.data(), data.size()) != data.size())
            throw EvxDiagramError("cannot write " + fileName);
    });
}

} // namespace morvane
