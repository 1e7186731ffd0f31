#pragma once

#include <vector>

namespace model {
class FlowTree;
struct FlowNode;
} // namespace model

namespace call {

// Whole-flow questions answered from the moves of each node (nodemoves.h).
namespace flowroutes {

// The node a call starts at: the flow's answer-call node (the first top-level node by
// index); nullptr for an empty flow.
const model::FlowNode *startNode(const model::FlowTree &tree);

// Every node some call can reach from the start node, by any of the moves, in the order
// found (breadth first, the start node first).
std::vector<const model::FlowNode *> reachableNodes(const model::FlowTree &tree);

// The route the call takes from `from` while nobody keys anything: while the node does not
// wait for the caller, its after-action move. When that route comes back to a node it has
// passed, it loops for ever without waiting: the nodes of the loop are returned in the
// order the call runs them from the loop's node nearest the top of the tree. Empty when
// the route stops, waits or leaves the flow.
std::vector<const model::FlowNode *> silentLoopFrom(const model::FlowTree &tree,
                                                    const model::FlowNode &from);

// Every distinct loop without waiting in the flow (reachable or not), as silentLoopFrom gives
// it, in depth-first order of the tree.
std::vector<std::vector<const model::FlowNode *>> silentLoops(const model::FlowTree &tree);

} // namespace flowroutes
} // namespace call
