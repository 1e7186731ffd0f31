// Checking a large flow: 999 nodes of every call function (the generation benchmark's
// flow), for every target at once. Median of several runs of: the rules alone on facts
// already gathered; the routes and the rules with the node rows in memory; the whole check
// as the window and `dialwright check` run it (rows from the flow table, waves/, members).
// And a flow that is one chain of 999 single-child greetings, the longest routes without
// waiting a flow can have. Build without sanitizers for meaningful figures.
#include "benchflow.h"

#include "checker/checktarget.h"
#include "checker/flowcheck.h"
#include "checker/flowfacts.h"
#include "model/appdata.h"
#include "model/flowstore.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <cstdio>
#include <ctime>
#include <functional>

namespace {

// "wall ms (cpu ms)", medians of `runs` runs. On a busy machine the CPU time is the
// steadier figure.
QString medianMs(const std::function<void()> &run, int runs = 21)
{
    run(); // warm the caches
    const Timing t = measure(run, runs);
    return QString::asprintf("%6.2f ms (cpu %6.2f)", t.wallMs, t.cpuMs);
}

checker::FlowFacts inMemory(const model::FlowTree &tree)
{
    return checker::FlowFacts::of(tree, [](const model::FlowNode &node) {
        return std::optional(model::flowcolumns::defaultsFor(model::NodeIdentity::of(node)));
    });
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    model::initialiseData(dir.path());
    const checker::CheckTarget every = checker::everyTarget();

    model::FlowTree tree;
    buildBenchFlow(tree, 999);
    const QString database = QDir(dir.path()).filePath(QStringLiteral("bench.mdb"));
    QString error;
    if (!model::FlowStore::createMain(database, QStringLiteral("bench"), &error)
        || !model::FlowStore(database, QStringLiteral("bench")).writeTree(tree, &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }

    const checker::FlowFacts facts = inMemory(tree);
    qsizetype problems = 0;
    auto report = [](const char *what, const QString &figure) {
        std::printf("  %-34s %s\n", what, qPrintable(figure));
    };
    std::printf("flow: %d nodes, %lld problems for every target (target < 20 ms)\n",
                tree.count(), checker::checkFlow(facts, every).size());
    report("rules alone", medianMs([&] { problems += checkFlow(facts, every).size(); }));
    report("routes and rules, rows in memory",
           medianMs([&] { problems += checkFlow(inMemory(tree), every).size(); }));
    report("whole check from the databases", medianMs([&] {
               const checker::FlowFacts read =
                   checker::gatherFacts(tree, {dir.path(), database, QStringLiteral("bench")});
               problems += checkFlow(read, every).size();
           }));

    model::FlowTree chain;
    model::FlowNode *last = chain.addTopLevel(QStringLiteral("1_"), QStringLiteral("answer call"));
    for (int i = 2; i <= 999; ++i) {
        last = chain.add(last, model::FlowTree::Relation::LastChild, QStringLiteral("%1_").arg(i),
                         QLatin1String(i == 999 ? "hangup" : "play main greetings"));
    }
    std::printf("chain of %d single-child nodes\n", chain.count());
    report("routes and rules, rows in memory",
           medianMs([&] { problems += checkFlow(inMemory(chain), every).size(); }, 5));
    return problems > 0 ? 0 : 1;
}
