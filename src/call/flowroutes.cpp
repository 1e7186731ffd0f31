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

int depth(const model::FlowNode *node)
{
    int d = 0;
    for (; node->parent; node = node->parent)
        ++d;
    return d;
}

// Starts a loop at its node nearest the top (the first added among equals), so that a loop
// reads the same whichever of its nodes it was entered at.
void rotateToTop(const model::FlowTree &tree, std::vector<const model::FlowNode *> &loop)
{
    const auto top = std::min_element(loop.begin(), loop.end(),
                                      [&tree](const model::FlowNode *a, const model::FlowNode *b) {
                                          const int da = depth(a);
                                          const int db = depth(b);
                                          return da != db ? da < db
                                                          : tree.indexOf(a) < tree.indexOf(b);
                                      });
    std::rotate(loop.begin(), top, loop.end());
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
        if (it != position.cend()) {
            std::vector<const model::FlowNode *> loop(route.begin() + qsizetype(*it),
                                                      route.end());
            rotateToTop(tree, loop);
            return loop;
        }
        position.insert(node, route.size());
        route.push_back(node);
    }
    return {};
}

std::vector<std::vector<const model::FlowNode *>> silentLoops(const model::FlowTree &tree)
{
    std::vector<std::vector<const model::FlowNode *>> loops;
    QSet<const model::FlowNode *> inLoop;
    for (const model::FlowNode *node : tree.depthFirst()) {
        if (inLoop.contains(node))
            continue;
        std::vector<const model::FlowNode *> loop = silentLoopFrom(tree, *node);
        if (loop.empty() || inLoop.contains(loop.front()))
            continue;
        for (const model::FlowNode *n : loop)
            inLoop.insert(n);
        loops.push_back(std::move(loop));
    }
    return loops;
}

} // namespace call::flowroutes
