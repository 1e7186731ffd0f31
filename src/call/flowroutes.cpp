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

// The route without waiting from `from`, until it stops, waits, leaves the flow or meets a
// node of `walked`. When it comes back to a node it has passed, it loops: *loopStart is
// where the loop begins in the route; otherwise it is the route's length.
std::vector<const model::FlowNode *> silentRoute(const model::FlowTree &tree,
                                                 const model::FlowNode &from,
                                                 const QSet<const model::FlowNode *> &walked,
                                                 size_t *loopStart)
{
    std::vector<const model::FlowNode *> route;
    QHash<const model::FlowNode *, size_t> position;
    for (const model::FlowNode *node = &from; node && !walked.contains(node);
         node = silentNext(tree, *node)) {
        const auto it = position.constFind(node);
        if (it != position.cend()) {
            *loopStart = *it;
            return route;
        }
        position.insert(node, route.size());
        route.push_back(node);
    }
    *loopStart = route.size();
    return route;
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
    size_t loopStart = 0;
    const std::vector<const model::FlowNode *> route = silentRoute(tree, from, {}, &loopStart);
    std::vector<const model::FlowNode *> loop(route.begin() + qsizetype(loopStart), route.end());
    rotateToTop(tree, loop);
    return loop;
}

std::vector<std::vector<const model::FlowNode *>> silentLoops(const model::FlowTree &tree)
{
    std::vector<std::vector<const model::FlowNode *>> loops;
    // Nodes whose route is walked already: a later route that meets one goes on as that
    // one did, so each node is walked once and a long chain costs no more than its length.
    QSet<const model::FlowNode *> walked;
    for (const model::FlowNode *node : tree.depthFirst()) {
        if (walked.contains(node))
            continue;
        size_t loopStart = 0;
        const std::vector<const model::FlowNode *> route =
            silentRoute(tree, *node, walked, &loopStart);
        for (const model::FlowNode *n : route)
            walked.insert(n);
        if (loopStart < route.size()) {
            std::vector<const model::FlowNode *> loop(route.begin() + qsizetype(loopStart),
                                                      route.end());
            rotateToTop(tree, loop);
            loops.push_back(std::move(loop));
        }
    }
    return loops;
}

} // namespace call::flowroutes
