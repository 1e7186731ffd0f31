#include "flowroutes.h"

#include "nodemoves.h"

#include "model/flowtree.h"

#include <QHash>
#include <QSet>

#include <algorithm>
#include <deque>

namespace call::flowroutes {

namespace {

// The next node of a route without waiting, or nullptr when the route stops here.
const model::FlowNode *silentNext(const model::FlowTree &tree, const model::FlowNode &node)
{
    const NodeMoves moves = movesOf(tree, node);
    if (moves.waitsForCaller)
        return nullptr;
    const Move *move = moves.afterAction();
    return move && move->outcome == Outcome::ToNode ? move->target : nullptr;
}

} // namespace

const model::FlowNode *startNode(const model::FlowTree &tree)
{
    return tree.node(tree.findRootNode());
}

std::vector<const model::FlowNode *> reachableNodes(const model::FlowTree &tree)
{
    std::vector<const model::FlowNode *> found;
    const model::FlowNode *start = startNode(tree);
    if (!start)
        return found;
    QSet<const model::FlowNode *> seen{start};
    std::deque<const model::FlowNode *> queue{start};
    while (!queue.empty()) {
        const model::FlowNode *node = queue.front();
        queue.pop_front();
        found.push_back(node);
        for (const Move &move : movesOf(tree, *node).moves) {
            if (move.target && !seen.contains(move.target)) {
                seen.insert(move.target);
                queue.push_back(move.target);
            }
        }
    }
    return found;
}

std::vector<const model::FlowNode *> silentLoopFrom(const model::FlowTree &tree,
                                                    const model::FlowNode &from)
{
    std::vector<const model::FlowNode *> route;
    QHash<const model::FlowNode *, size_t> position;
    for (const model::FlowNode *node = &from; node; node = silentNext(tree, *node)) {
        const auto it = position.constFind(node);
        if (it != position.cend())
            return {route.begin() + qsizetype(*it), route.end()};
        position.insert(node, route.size());
        route.push_back(node);
    }
    return {};
}

std::vector<std::vector<const model::FlowNode *>> silentLoops(const model::FlowTree &tree)
{
    std::vector<std::vector<const model::FlowNode *>> loops;
    QSet<const model::FlowNode *> inLoop;
    const std::vector<model::FlowNode *> order = tree.depthFirst();
    QHash<const model::FlowNode *, size_t> place;
    for (size_t i = 0; i < order.size(); ++i)
        place.insert(order[i], i);
    for (const model::FlowNode *node : order) {
        if (inLoop.contains(node))
            continue;
        std::vector<const model::FlowNode *> loop = silentLoopFrom(tree, *node);
        if (loop.empty() || inLoop.contains(loop.front()))
            continue;
        // Start the loop at its first node in tree order, so that each loop reads the
        // same whichever node it was found from.
        const auto first = std::min_element(loop.begin(), loop.end(),
                                            [&place](const model::FlowNode *a,
                                                     const model::FlowNode *b) {
                                                return place.value(a) < place.value(b);
                                            });
        std::rotate(loop.begin(), first, loop.end());
        for (const model::FlowNode *n : loop)
            inLoop.insert(n);
        loops.push_back(std::move(loop));
    }
    return loops;
}

} // namespace call::flowroutes
