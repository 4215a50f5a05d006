#include "diagram/vxDiagramDot.h"

#include <cmath>
#include <unordered_set>

namespace morvane {

namespace {

constexpr const char* FontName = "DejaVu Sans";
constexpr const char* LineColour = "#44546a";
constexpr const char* HeadingColour = "#dbe5f1";

// How each change reads and shows, by TvxDiagramMark: None, Added, Removed, Renamed, Changed.
struct TvxMarkLook
{
    const char* text;
    const char* colour;
};
constexpr TvxMarkLook MarkLooks[] = {
    {"", "#ffffff"}, {"[+]", "#c8ecc8"}, {"[-]", "#f6c9c9"}, {"[R]", "#cfe0fb"}, {"[*]", "#fbe0b0"}};

std::string Html(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        case '\'':
            out += "&#39;";
            break;
        default:
            if (static_cast<unsigned char>(c) >= 0x20)
                out += c;
            else
                out += ' ';
        }
    }
    return out;
}

std::string Quoted(std::string_view text)
{
    std::string out = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\')
            out += '\\';
        out += static_cast<unsigned char>(c) >= 0x20 ? c : ' ';
    }
    out += '"';
    return out;
}

std::string Joined(const std::vector<std::string>& names)
{
    std::string out;
    for (const std::string& n : names) {
        if (!out.empty())
            out += ", ";
        out += n;
    }
    return out;
}

std::string Marked(TvxDiagramMark mark, const std::string& html)
{
    return mark == TvxDiagramMark::None ? html : std::string(DiagramMarkText(mark)) + " " + html;
}

void AppendField(std::string& out, const TvxDiagramField& f, const TvxDiagramTexts& texts)
{
    const std::string bg =
        f.mark == TvxDiagramMark::None ? "" : std::string(" BGCOLOR=\"") + DiagramMarkColour(f.mark) + "\"";
    std::string name = Html(f.name);
    if (f.mark == TvxDiagramMark::Removed)
        name = "<S>" + name + "</S>";
    std::string before;
    if (!f.oldName.empty() || !f.oldType.empty()) {
        before = texts.formerly + " " + f.oldName;
        if (!f.oldType.empty())
            before += (f.oldName.empty() ? "" : " ") + f.oldType;
        before = " <FONT POINT-SIZE=\"8\">(" + Html(before) + ")</FONT>";
    }
    const std::string mark = f.key ? texts.keyMark : f.indexed ? texts.indexMark : "";
    out += "<TR><TD ALIGN=\"LEFT\"" + bg + ">" +
           (mark.empty() ? "" : "<FONT POINT-SIZE=\"8\">" + Html(mark) + "</FONT>") + "</TD>";
    out += "<TD ALIGN=\"LEFT\"" + bg + ">" + (f.key ? "<B>" + Marked(f.mark, name) + "</B>" : Marked(f.mark, name)) +
           before + "</TD>";
    out += "<TD ALIGN=\"LEFT\"" + bg + ">" + Html(f.type) + "</TD></TR>";
}

std::string TableLabel(const TvxDiagramTable& t, const TvxDiagramTexts& texts)
{
    const std::string notes = DiagramTableNotes(t, texts);
    const char* heading = t.mark == TvxDiagramMark::None ? HeadingColour : DiagramMarkColour(t.mark);
    std::string out = std::string("<TABLE BORDER=\"1\" CELLBORDER=\"0\" CELLSPACING=\"0\" CELLPADDING=\"3\" COLOR=\"") +
                      LineColour + "\" BGCOLOR=\"white\"" +
                      (t.missing || t.mark == TvxDiagramMark::Removed ? " STYLE=\"dashed\"" : "") + ">";
    out += std::string("<TR><TD COLSPAN=\"3\" BGCOLOR=\"") + heading + "\"><B>" +
           Marked(t.mark, t.mark == TvxDiagramMark::Removed ? "<S>" + Html(t.name) + "</S>" : Html(t.name)) + "</B>";
    if (!notes.empty())
        out += " <FONT POINT-SIZE=\"8\">" + Html(notes) + "</FONT>";
    out += "</TD></TR>";
    for (const TvxDiagramField& f : t.fields)
        AppendField(out, f, texts);
    out += "</TABLE>";
    return out;
}

std::string Legend(const TvxDiagramTexts& texts)
{
    std::string out = "<TABLE BORDER=\"1\" CELLBORDER=\"0\" CELLSPACING=\"0\" CELLPADDING=\"3\" COLOR=\"" +
                      std::string(LineColour) + "\"><TR><TD COLSPAN=\"2\"><B>" + Html(texts.legend) + "</B></TD></TR>";
    const std::pair<TvxDiagramMark, const std::string*> rows[] = {{TvxDiagramMark::Added, &texts.added},
                                                                  {TvxDiagramMark::Removed, &texts.removed},
                                                                  {TvxDiagramMark::Renamed, &texts.renamed},
                                                                  {TvxDiagramMark::Changed, &texts.changed}};
    for (const auto& [mark, text] : rows)
        out += std::string("<TR><TD BGCOLOR=\"") + DiagramMarkColour(mark) + "\">" + Html(DiagramMarkText(mark)) +
               "</TD><TD ALIGN=\"LEFT\">" + Html(*text) + "</TD></TR>";
    return out + "</TABLE>";
}

} // namespace

const char* DiagramMarkText(TvxDiagramMark mark)
{
    return MarkLooks[static_cast<std::size_t>(mark)].text;
}

const char* DiagramMarkColour(TvxDiagramMark mark)
{
    return MarkLooks[static_cast<std::size_t>(mark)].colour;
}

std::string DiagramTableNotes(const TvxDiagramTable& table, const TvxDiagramTexts& texts)
{
    std::string notes;
    const auto note = [&](const std::string& text) { notes += (notes.empty() ? "" : " · ") + text; };
    if (table.indexCount > 0)
        note(texts.indexes + ": " + std::to_string(table.indexCount));
    if (table.protectedTable)
        note(texts.protectedTable);
    if (table.missing)
        note(texts.missingTable);
    if (!table.oldName.empty())
        note(texts.formerly + " " + table.oldName);
    return notes;
}

std::vector<std::string> DiagramRuleLines(const TvxDiagramRule& rule, const TvxDiagramTexts& texts)
{
    const std::string mark = rule.mark == TvxDiagramMark::None ? "" : std::string(DiagramMarkText(rule.mark)) + " ";
    return {mark + rule.name, Joined(rule.fields) + " → " + Joined(rule.masterFields),
            texts.updateRule + ": " + (rule.cascade ? texts.cascade : texts.prohibit)};
}

std::string DiagramDot(const TvxDiagram& diagram, const TvxDiagramTexts& texts)
{
    std::string out = "digraph \"diagrama\" {\n";
    out += std::string("graph [fontname=") + Quoted(FontName) +
           ", fontsize=10, rankdir=TB, nodesep=0.35, ranksep=0.6, labelloc=b, labeljust=l";
    if (diagram.showsChanges)
        out += ", label=<" + Legend(texts) + ">";
    out += "];\n";
    out += std::string("node [shape=plain, fontname=") + Quoted(FontName) + ", fontsize=10];\n";
    out += std::string("edge [fontname=") + Quoted(FontName) + ", fontsize=8, color=" + Quoted(LineColour) +
           ", arrowsize=0.8];\n";

    std::unordered_set<std::string> related;
    for (const TvxDiagramRule& r : diagram.rules) {
        related.insert(r.dependent);
        related.insert(r.master);
    }
    std::vector<const TvxDiagramTable*> isolated;
    for (std::size_t i = 0; i < diagram.tables.size(); ++i) {
        const TvxDiagramTable& t = diagram.tables[i];
        if (!related.count(t.name)) {
            isolated.push_back(&t);
            continue;
        }
        out += Quoted(t.name) + " [id=\"t" + std::to_string(i) + "\", label=<" + TableLabel(t, texts) + ">];\n";
    }
    if (!isolated.empty()) {
        out += std::string("subgraph ") + vxIsolatedCluster + " {\nlabel=" + Quoted(texts.tablesWithoutRules) +
               "; labelloc=t; style=dashed; color=\"#9aa5b1\"; margin=12;\n";
        for (const TvxDiagramTable* t : isolated)
            out += Quoted(t->name) + " [id=\"t" + std::to_string(t - diagram.tables.data()) + "\", label=<" +
                   TableLabel(*t, texts) + ">];\n";
        // Columns of invisible edges: the boxes stand in a grid rather than in one long row.
        const std::size_t columns = std::max<std::size_t>(
            1, static_cast<std::size_t>(std::ceil(std::sqrt(static_cast<double>(isolated.size())))));
        for (std::size_t i = 0; i + columns < isolated.size(); ++i)
            out += Quoted(isolated[i]->name) + " -> " + Quoted(isolated[i + columns]->name) + " [style=invis];\n";
        out += "}\n";
    }
    for (std::size_t i = 0; i < diagram.rules.size(); ++i) {
        const TvxDiagramRule& r = diagram.rules[i];
        const std::vector<std::string> lines = DiagramRuleLines(r, texts);
        std::string label;
        for (const std::string& line : lines)
            label += (label.empty() ? "" : "<BR/>") + Html(line);
        out += Quoted(r.dependent) + " -> " + Quoted(r.master) + " [id=\"r" + std::to_string(i) + "\", label=<" +
               label + ">";
        if (r.mark != TvxDiagramMark::None)
            out += std::string(", style=") + (r.mark == TvxDiagramMark::Removed ? "dashed" : "bold") +
                   ", color=" + (r.mark == TvxDiagramMark::Removed ? "\"#c0392b\"" : "\"#2e8b57\"");
        out += "];\n";
    }
    out += "}\n";
    return out;
}

} // namespace morvane
