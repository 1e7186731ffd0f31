// Undoing the removal of a large subtree must take under 50 ms at 500 nodes.
//
// A flow of 999 nodes (every node with its row) holds one subtree of 500 nodes; the tree
// is shown by the editor's item model, as in the window. Prints the median of several runs:
//   remove     - Remove of the subtree through the history (rows read, its row deleted),
//   undo       - its undo: the subtree back in place, its row put back,
//   redo       - the Remove again,
//   undo saved - the undo after a save dropped the rows of all 500 nodes, which come back.

#include "benchtiming.h"

#include "editor/flowtreemodel.h"
#include "history/flowhistory.h"
#include "history/removenodecommand.h"
#include "model/flowstore.h"
#include "model/flowtree.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <functional>
#include <vector>

namespace {

constexpr int kRuns = 9;
constexpr int kFlowNodes = 999;
constexpr int kSubtreeNodes = 500;

// "answer call" with two branches: the subtree of kSubtreeNodes (node 2_) and the rest,
// each node under one of the last few before it, so that both are deep and bushy.
void buildTree(model::FlowTree &tree)
{
    tree.addTopLevel(QStringLiteral("1_"), QStringLiteral("answer call"));
    for (int k = 2; k <= kFlowNodes; ++k) {
        const bool inSubtree = k <= kSubtreeNodes + 1;
        const int first = inSubtree ? 2 : kSubtreeNodes + 2;
        model::FlowNode *parent = k == 2 || k == first ? tree.node(1)
                                                        : tree.node(std::max(first, k - 1 - k % 7));
        tree.add(parent, model::FlowTree::Relation::LastChild, QString::number(k) + u'_',
                 k % 3 ? QStringLiteral("get option digits") : QStringLiteral("hangup"));
    }
}

double timedMs(const std::function<bool()> &run, bool &ok)
{
    QElapsedTimer timer;
    timer.start();
    ok = run() && ok;
    return double(timer.nsecsElapsed()) / 1e6;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTemporaryDir dir;
    const model::CurrentFlow flow{dir.filePath(QStringLiteral("bench.mdb")),
                                  QStringLiteral("nodesflow")};
    QString error;
    model::FlowTree tree;
    editor::FlowTreeModel shown(tree);
    buildTree(tree);
    if (!model::FlowStore::createMain(flow.databasePath, flow.table, &error)
        || !model::FlowStore(flow.databasePath, flow.table).writeTree(tree, &error)) {
        out << error << "\n";
        return 1;
    }
    {
        model::FlowStore store(flow.databasePath, flow.table);
        for (const model::FlowNode *node : tree.depthFirst())
            store.ensureRow(model::NodeIdentity::of(*node), nullptr, &error);
    }

    history::FlowHistory history;
    bool ok = true;
    std::vector<double> remove, undo, redo, undoSaved;
    for (int i = 0; i < kRuns; ++i) {
        remove.push_back(timedMs([&] {
            return history.perform(std::make_unique<history::RemoveNodeCommand>(
                                       tree, flow, tree.findKey(QStringLiteral("2_"))),
                                   &error);
        }, ok));
        undo.push_back(timedMs([&] { return history.undo(&error); }, ok));
        redo.push_back(timedMs([&] { return history.redo(&error); }, ok));
        ok = model::FlowStore(flow.databasePath, flow.table).writeTree(tree, &error) && ok;
        undoSaved.push_back(timedMs([&] { return history.undo(&error); }, ok));
        ok = ok && tree.count() == kFlowNodes;
        history.startAfresh();
    }
    out << QStringLiteral("subtree of %1 in a flow of %2 nodes, median of %3 runs (ms)\n")
               .arg(kSubtreeNodes)
               .arg(kFlowNodes)
               .arg(kRuns);
    out << QStringLiteral("remove %1   undo %2   redo %3   undo after a save %4\n")
               .arg(median(remove), 0, 'f', 2)
               .arg(median(undo), 0, 'f', 2)
               .arg(median(redo), 0, 'f', 2)
               .arg(median(undoSaved), 0, 'f', 2);
    if (!ok)
        out << "failed: " << error << "\n";
    return ok ? 0 : 1;
}
