#pragma once
// DiagramDot: the diagram as a Graphviz graph in the DOT language, for the dot layout. Tables
// are nodes named by the table's name (HTML-like labels: heading, then one row per field);
// rules are edges from the dependent table to its master (id "r<position of the rule>");
// tables that no rule touches are placed in a grid inside the cluster "cluster_isolated".
// Over a script, every change is coloured and marked in text ("[+]", "[-]", "[R]", "[*]"), and
// the graph's label is the legend.

#include <string>

#include "diagram/TvxDiagram.h"
#include "diagram/TvxDiagramTexts.h"

namespace morvane {

inline constexpr const char* vxIsolatedCluster = "cluster_isolated";

// The text mark of a change: "[+]", "[-]", "[R]", "[*]"; empty for None.
const char* DiagramMarkText(TvxDiagramMark mark);
// The colour of a change, "#rrggbb" (a light fill); white for None.
const char* DiagramMarkColour(TvxDiagramMark mark);
// The small notes of a table's heading: index count, protection, missing, former name.
std::string DiagramTableNotes(const TvxDiagramTable& table, const TvxDiagramTexts& texts);
// A rule's label as lines: its name, its fields ("A, B → C, D"), its update rule.
std::vector<std::string> DiagramRuleLines(const TvxDiagramRule& rule, const TvxDiagramTexts& texts);

std::string DiagramDot(const TvxDiagram& diagram, const TvxDiagramTexts& texts);

} // namespace morvane
