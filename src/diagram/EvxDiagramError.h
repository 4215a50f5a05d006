#pragma once
// EvxDiagramError: Graphviz refused the graph, could not lay it out or render it, or the file
// could not be written. The text is Graphviz's or the system's.

#include <stdexcept>

namespace morvane {

class EvxDiagramError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

} // namespace morvane
