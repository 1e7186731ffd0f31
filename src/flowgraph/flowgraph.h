#pragma once

#include <QPointF>
#include <QRectF>
#include <QStringList>

#include <vector>

namespace call {
class NodeValuesSource;
}
namespace model {
class FlowTree;
}

// The call flow as a graph of boxes and arrows, with the geometry Graphviz gives them: plain
// data, drawn by the diagram tab and its exports, and checked by tests without a window.
namespace flowgraph {

// One node of the flow.
struct Box
{
    QString key;
    QString text;
    int parent = -1;  // index of the parent's box, -1 at the top level
    int picture = -1; // palette position of the call function's picture, -1 for none
    // What the caller hears there: the spoken prompt (a TTS call) and the voice file (a
    // wave call); both empty where nothing is heard.
    QString spoken;
    QString voiceFile;
    // Where the call ends or cannot go on at this node, the rules' word for it ("hang up",
    // "voice mail", "no next step", "no section"); empty when the call goes on.
    QString endMark;
    // The end mark ends the call (or hands it over), rather than leaving it stuck here.
    bool callEnds = false;
    // Some call can come here from the start.
    bool reachable = true;

    // Geometry, in points with the origin at the top left: the size is set before the
    // layout, the centre by it.
    QSizeF size;
    QPointF centre;
    QRectF rect() const { return {centre - QPointF(size.width(), size.height()) / 2, size}; }
};

// The moves of one node that take the call to the same node.
struct Arrow
{
    int from = -1;
    int to = -1;
    // The moves' labels in the rules' order ("1" to "6", "time-out", "other key", "back");
    // none for the single next step.
    QStringList labels;
    // Back up the tree: drawn dashed, and left out of the ranking.
    bool back = false;

    // Geometry: a cubic Bezier path (start, then three points a segment) ending at the
    // arrow head's base, the head's tip, and the label's centre.
    std::vector<QPointF> path;
    QPointF tip;
    QPointF labelCentre;

    QString label() const { return labels.join(QStringLiteral(", ")); }
};

struct FlowGraph
{
    std::vector<Box> boxes;   // in depth-first order of the tree
    std::vector<Arrow> arrows; // by box, in the order of the moves
    QRectF bounds;             // of everything laid out

    // Index of the box with this key, -1 when none.
    int indexOf(const QString &key) const;
};

// The boxes and arrows of a flow: the arrows are the moves of the call rules that lead to a
// node, a box's end mark the move that does not. `values` gives each node's properties; when
// they cannot be read, the defaults are shown and *error says why.
FlowGraph buildGraph(const model::FlowTree &tree, call::NodeValuesSource &values,
                     QString *error);

// The same with the values read from the flow table.
FlowGraph buildGraph(const model::FlowTree &tree, const QString &databasePath,
                     const QString &table, QString *error);

} // namespace flowgraph
