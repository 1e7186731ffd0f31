// Flow files: export and import of the largest flow a table can key (999 nodes, every
// node with all its properties) must each stay under 100 ms.
//
// Prints the median of several runs of
//   export - exportFlow: load the table, read every node's row, check, write the file,
//   write  - the file layout alone (writeFlow),
//   read   - the file read and checked alone (readFlow),
//   import - read, check and replace the rows of a table (readFlow + importFlow).

#include "benchtiming.h"

#include "flowjson/flowreader.h"
#include "flowjson/flowtransfer.h"
#include "flowjson/flowwriter.h"
#include "model/flowstore.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <ctime>
#include <functional>
#include <vector>

namespace {

constexpr int kRuns = 9;
constexpr int kNodes = 999;

QString shown(const Timing &t)
{
    return QStringLiteral("%1 ms (cpu %2)").arg(t.wallMs, 0, 'f', 1).arg(t.cpuMs, 0, 'f', 1);
}

// A tree of varied shape (each node under one of the twelve before it), every node with
// a row that carries all its properties, a prompt of some length among them.
bool buildFlow(const QString &file, const QString &table, QString *error)
{
    static const char *const texts[] = {"play main greetings", "get user id digits",
                                        "get option digits", "record message", "hangup"};
    if (!model::FlowStore::createMain(file, table, error))
        return false;
    model::FlowTree tree;
    QRandomGenerator random(kNodes);
    tree.addTopLevel(QStringLiteral("1_"), QStringLiteral("answer call"));
    for (int k = 2; k <= kNodes; ++k)
        tree.add(tree.node(int(random.bounded(std::max(1, k - 12), k))),
                 model::FlowTree::Relation::LastChild, QString::number(k) + u'_',
                 QLatin1String(texts[k % 5]));
    model::FlowStore store(file, table);
    if (!store.writeTree(tree, error))
        return false;
    for (const model::FlowNode *node : tree.depthFirst()) {
        const model::NodeIdentity id = model::NodeIdentity::of(*node);
        model::ColumnValues values = model::flowcolumns::defaultsFor(id);
        values.insert(QStringLiteral("prompttxt"),
                      QStringLiteral("Please enter the number of your mailbox, node %1, "
                                     "followed by the \"hash\" key.")
                          .arg(node->key));
        for (const QString &column : model::flowcolumns::treeColumns())
            values.remove(column);
        if (!store.updateRow(id, values, error))
            return false;
    }
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("callflow.mdb"));
    const QString table = QStringLiteral("nodesflow");
    QString error;
    if (!buildFlow(file, table, &error)) {
        out << "building the flow: " << error << "\n";
        return 1;
    }
    bool ok = true;
    flowjson::ExportResult exported;
    const Timing exportTime = measure([&] {
        exported = flowjson::exportFlow(file, table);
        ok = ok && exported.ok;
    }, kRuns);
    flowjson::FlowContent content;
    const Timing readTime = measure([&] {
        QStringList problems;
        ok = flowjson::readFlow(exported.bytes, &content, &problems) && ok;
    }, kRuns);
    const Timing writeTime = measure([&] {
        ok = flowjson::writeFlow(content.tree, content.properties) == exported.bytes && ok;
    }, kRuns);
    const Timing importTime = measure([&] {
        flowjson::FlowContent read;
        QStringList problems;
        ok = flowjson::readFlow(exported.bytes, &read, &problems) && ok;
        const flowjson::ImportResult result =
            flowjson::importFlow(read, file, QStringLiteral("imported"), true);
        if (!result.ok)
            out << "import: " << result.error << "\n";
        ok = result.ok && ok;
    }, kRuns);
    out << QStringLiteral("%1 nodes, a file of %2 kB\n")
               .arg(kNodes)
               .arg(exported.bytes.size() / 1024);
    out << "export " << shown(exportTime) << ", the layout alone " << shown(writeTime) << "\n"
        << "import " << shown(importTime) << ", reading and checking alone " << shown(readTime)
        << "\n";
    if (!ok)
        out << "a run failed: " << exported.error << "\n";
    return ok ? 0 : 1;
}
