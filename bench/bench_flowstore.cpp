// Loading and saving whole flows: each must stay under 100 ms at the largest flow a table
// can key (999 nodes) and grow linearly with the node count.
//
// Prints, for 100, 500 and 999 nodes, the median of several runs of
//   save  - FlowStore::writeTree into a table whose rows all carry properties,
//   load  - FlowStore::loadInto into an empty tree,
//   shown - the same load into a tree that the editor's item model observes.

#include "benchtiming.h"

#include "editor/flowtreemodel.h"
#include "model/flowstore.h"
#include "model/flowtree.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <functional>
#include <vector>

namespace {

constexpr int kRuns = 9;

// A tree of n nodes of varied shape: each node goes under a random earlier node, biased
// towards recent ones so that the tree is both deep and bushy.
void buildTree(model::FlowTree &tree, int n)
{
    static const char *const texts[] = {"play main greetings", "get user id digits",
                                        "get option digits", "record message", "hangup"};
    QRandomGenerator random(n);
    tree.addTopLevel(QStringLiteral("1_"), QStringLiteral("answer call"));
    for (int k = 2; k <= n; ++k) {
        const int lowest = std::max(1, k - 12);
        const int parent = int(random.bounded(lowest, k));
        tree.add(tree.node(parent), model::FlowTree::Relation::LastChild,
                 QString::number(k) + u'_', QLatin1String(texts[k % 5]));
    }
}

double medianMs(const std::function<void()> &run)
{
    return measure(run, kRuns).wallMs;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTemporaryDir dir;
    bool ok = true;

    out << "nodes   save ms   load ms  shown ms   save us/node  load us/node\n";
    for (int n : {100, 500, 999}) {
        const QString file = dir.filePath(QStringLiteral("bench%1.mdb").arg(n));
        const QString table = QStringLiteral("nodesflow");
        QString error;
        if (!model::FlowStore::createMain(file, table, &error)) {
            out << "createMain: " << error << "\n";
            return 1;
        }
        model::FlowTree tree;
        buildTree(tree, n);
        {
            // Every node gets its row with properties, as after a session of editing.
            model::FlowStore store(file, table);
            for (const model::FlowNode *node : tree.depthFirst()) {
                if (!store.addRow(model::NodeIdentity::of(*node), &error)) {
                    out << "addRow: " << error << "\n";
                    return 1;
                }
            }
        }

        const double save = medianMs([&] {
            model::FlowStore store(file, table);
            if (!store.writeTree(tree, &error)) {
                out << "writeTree: " << error << "\n";
                ok = false;
            }
        });
        const double load = medianMs([&] {
            model::FlowTree loaded;
            model::FlowStore store(file, table);
            if (!store.loadInto(loaded, &error) || loaded.count() != n) {
                out << "loadInto: " << error << " (" << loaded.count() << " nodes)\n";
                ok = false;
            }
        });
        const double shown = medianMs([&] {
            model::FlowTree loaded;
            editor::FlowTreeModel itemModel(loaded);
            model::FlowStore store(file, table);
            if (!store.loadInto(loaded, &error) || itemModel.rowCount() != 1) {
                out << "loadInto (shown): " << error << "\n";
                ok = false;
            }
        });
        out << QStringLiteral("%1  %2  %3  %4  %5  %6\n")
                   .arg(n, 5)
                   .arg(save, 8, 'f', 2)
                   .arg(load, 8, 'f', 2)
                   .arg(shown, 8, 'f', 2)
                   .arg(save * 1000 / n, 13, 'f', 1)
                   .arg(load * 1000 / n, 12, 'f', 1);
        out.flush();
    }
    return ok ? 0 : 1;
}
