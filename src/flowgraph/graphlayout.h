#pragma once

#include <QString>

namespace flowgraph {

struct FlowGraph;

// Lays the graph out with Graphviz's "dot", top down, a box's children in option order, the
// arrows back up the tree left out of the ranking. Every box's size must be set; the boxes'
// centres, the arrows' paths and label places and the bounds are filled in. The same graph
// always gets the same layout. False with the reason in *error when Graphviz fails.
bool layOut(FlowGraph &graph, QString *error);

} // namespace flowgraph
