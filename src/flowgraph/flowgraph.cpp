#include "flowgraph.h"

#include "call/behaviour.h"
#include "call/callsettings.h"
#include "call/flowroutes.h"
#include "call/nodemoves.h"
#include "call/storevalues.h"
#include "model/catalogue.h"
#include "model/flowtree.h"

#include <QHash>
#include <QSet>

namespace flowgraph {

namespace {

// The palette shows the call functions in catalogue order; a box shows its function's
// palette picture.
int palettePosition(const call::Behaviour &behaviour)
{
    static const QList<model::CallFunction> rows = model::Catalogue::seedRows();
    if (behaviour.function == call::Function::Unknown)
        return -1;
    for (qsizetype i = 0; i < rows.size(); ++i) {
        if (rows[i].functionName.compare(behaviour.functionName(), Qt::CaseInsensitive) == 0)
            return int(i);
    }
    return -1;
}

void describeHearing(Box &box, const call::Behaviour &behaviour,
                     const model::NodeValues &values)
{
    switch (behaviour.prompt) {
    case call::PromptSource::NodePrompt:
        box.spoken = call::CallSettings::from(values, box.text, call::Flavour::Tts).prompt;
        box.voiceFile = call::CallSettings::from(values, box.text, call::Flavour::Wave).prompt;
        break;
    case call::PromptSource::Recording:
        box.spoken = QStringLiteral("the caller's recording");
        break;
    case call::PromptSource::None:
        break;
    }
}

} // namespace

int FlowGraph::indexOf(const QString &key) const
{
    for (size_t i = 0; i < boxes.size(); ++i) {
        if (boxes[i].key == key)
            return int(i);
    }
    return -1;
}

FlowGraph buildGraph(const model::FlowTree &tree, call::NodeValuesSource &values,
                     QString *error)
{
    if (error)
        error->clear();
    FlowGraph graph;
    const std::vector<model::FlowNode *> nodes = tree.depthFirst();
    QHash<const model::FlowNode *, int> index;
    for (const model::FlowNode *node : nodes)
        index.insert(node, int(index.size()));
    QSet<const model::FlowNode *> reachable;
    for (const model::FlowNode *node : call::flowroutes::reachableNodes(tree))
        reachable.insert(node);

    graph.boxes.reserve(nodes.size());
    for (const model::FlowNode *node : nodes) {
        const call::NodeMoves moves = call::movesOf(tree, *node);
        Box box;
        box.key = node->key;
        box.text = node->text;
        box.parent = node->parent ? index.value(node->parent) : -1;
        box.picture = palettePosition(*moves.behaviour);
        box.reachable = reachable.contains(node);
        QString unread;
        describeHearing(box, *moves.behaviour, values.valuesOf(*node, &unread));
        if (error && error->isEmpty())
            *error = unread;

        const int from = index.value(node);
        const size_t firstArrow = graph.arrows.size();
        for (const call::Move &move : moves.moves) {
            if (!move.target) {
                box.endMark = move.label();
                box.callEnds = move.outcome == call::Outcome::EndsCall
                               || move.outcome == call::Outcome::VoiceMail;
                continue;
            }
            const int to = index.value(move.target);
            Arrow *arrow = nullptr;
            for (size_t a = firstArrow; a < graph.arrows.size() && !arrow; ++a) {
                if (graph.arrows[a].to == to && graph.arrows[a].back == move.goesBack)
                    arrow = &graph.arrows[a];
            }
            if (!arrow) {
                graph.arrows.push_back({from, to, {}, move.goesBack, {}, {}, {}});
                arrow = &graph.arrows.back();
            }
            if (!move.label().isEmpty())
                arrow->labels << move.label();
        }
        graph.boxes.push_back(std::move(box));
    }
    return graph;
}

FlowGraph buildGraph(const model::FlowTree &tree, const QString &databasePath,
                     const QString &table, QString *error)
{
    call::StoreValues values(databasePath, table);
    QString unopened;
    values.isOpen(&unopened);
    FlowGraph graph = buildGraph(tree, values, error);
    if (error && !unopened.isEmpty())
        *error = unopened;
    return graph;
}

} // namespace flowgraph
