// The diagram of a whole flow: a 999-node flow must be laid out and shown in under a second
// and exported in under two.
//
// Prints, for 100, 500 and 999 nodes, the median of several runs of
//   graph  - the boxes and arrows from the call rules, node values read from the table,
//   layout - Graphviz's dot,
//   shown  - the Diagram tab drawing the flow after a change, up to its first paint,
//   svg    - Export Diagram to an SVG file,
//   png    - the same to a PNG file (scaled down where the picture would be too large);
// then `dialwright diagram` as a whole process on the 999-node flow, to SVG and to PNG.
// CPU time is printed beside wall time: on a busy machine it is the steadier figure.

#include "diagram/boxitem.h"
#include "diagram/diagramexport.h"
#include "diagram/diagrampanel.h"
#include "diagram/diagramscene.h"
#include "diagram/diagramview.h"
#include "flowgraph/flowgraph.h"
#include "flowgraph/graphlayout.h"
#include "model/currentflow.h"
#include "model/flowstore.h"
#include "model/flowtree.h"
#include "ui/userprompts.h"

#include "benchtiming.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <ctime>
#include <functional>
#include <vector>

namespace {

constexpr int kRuns = 5;

// Unused: the benchmark asks nothing.
class NoPrompts final : public ui::UserPrompts
{
public:
    void message(const QString &, Icon) override {}
    Answer ask(const QString &, Buttons, Icon) override { return Answer::Cancel; }
    std::optional<QString> inputText(const QString &, const QString &, const QString &) override
    {
        return std::nullopt;
    }
    QString openFileName(const QString &, const QString &, const QString &) override
    {
        return {};
    }
    QString saveFileName(const QString &, const QString &, const QString &) override
    {
        return {};
    }
    bool choosePrinter(QPrinter &, bool, bool &) override { return false; }
    void beep() override {}
};

// A flow of n nodes of every call function, up to six children a node, each node under a
// random recent one so that the tree is both deep and bushy.
void buildTree(model::FlowTree &tree, int n)
{
    static const char *const texts[] = {
        "play main greetings",  "get user id digits",      "get password digits",
        "get option digits",    "play message options",    "record message",
        "hear recorded message", "save recorded message",  "play personal greetings",
        "hangup"};
    QRandomGenerator random(n);
    tree.addTopLevel(QStringLiteral("1_"), QStringLiteral("answer call"));
    for (int k = 2; k <= n; ++k) {
        model::FlowNode *parent = nullptr;
        while (!parent || parent->childCount() >= 6)
            parent = tree.node(int(random.bounded(std::max(1, k - 20), k)));
        tree.add(parent, model::FlowTree::Relation::LastChild, QString::number(k) + u'_',
                 QLatin1String(texts[random.bounded(10)]));
    }
}

// "wall (cpu)": the medians of several runs, in milliseconds.
QString medianMs(const std::function<void()> &run)
{
    const Timing t = measure(run, kRuns);
    return QStringLiteral("%1 (%2)").arg(t.wallMs, 6, 'f', 1).arg(t.cpuMs, 6, 'f', 1);
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QTextStream out(stdout);
    QTemporaryDir dir;
    bool ok = true;
    auto fail = [&](const QString &what) {
        out << what << "\n";
        ok = false;
    };

    out << "ms, wall (cpu)\nnodes           graph          layout           shown             svg"
           "             png  svg kB  png kB  png scale\n";
    for (int n : {100, 500, 999}) {
        const model::CurrentFlow current{dir.filePath(QStringLiteral("bench%1.mdb").arg(n)),
                                         QStringLiteral("nodesflow")};
        QString error;
        model::FlowTree tree;
        buildTree(tree, n);
        {
            // Every node has its row, as after a session of editing.
            model::FlowStore::createMain(current.databasePath, current.table, &error);
            model::FlowStore store(current.databasePath, current.table);
            for (const model::FlowNode *node : tree.depthFirst())
                store.addRow(model::NodeIdentity::of(*node), &error);
        }

        flowgraph::FlowGraph graph;
        const QString build = medianMs([&] {
            graph = flowgraph::buildGraph(tree, current.databasePath, current.table, &error);
            for (flowgraph::Box &box : graph.boxes)
                box.size = diagram::BoxItem::size();
        });
        const QString layout = medianMs([&] {
            flowgraph::FlowGraph copy = graph;
            if (!flowgraph::layOut(copy, &error))
                fail(error);
        });

        NoPrompts prompts;
        diagram::DiagramPanel panel(tree, current, prompts);
        panel.resize(1000, 700);
        panel.show();
        QApplication::processEvents();
        const QString shown = medianMs([&] {
            panel.refresh();
            QApplication::processEvents();
            const QImage painted = panel.view()->viewport()->grab().toImage();
            if (painted.isNull() || panel.scene()->isEmpty())
                fail(QStringLiteral("nothing shown"));
        });

        double scale = 1.0;
        const QString svg = dir.filePath(QStringLiteral("d%1.svg").arg(n));
        const QString png = dir.filePath(QStringLiteral("d%1.png").arg(n));
        const QString svgMs = medianMs([&] {
            if (!diagram::exportDiagram(*panel.scene(), svg, QStringLiteral("t"), &error))
                fail(error);
        });
        const QString pngMs = medianMs([&] {
            if (!diagram::exportDiagram(*panel.scene(), png, QStringLiteral("t"), &error,
                                        &scale))
                fail(error);
        });
        out << QStringLiteral("%1  %2  %3  %4  %5  %6  %7  %8  %9\n")
                   .arg(n, 5)
                   .arg(build, layout, shown, svgMs, pngMs)
                   .arg(QFileInfo(svg).size() / 1024, 6)
                   .arg(QFileInfo(png).size() / 1024, 6)
                   .arg(scale, 9, 'f', 2);
        out.flush();
        if (n != 999)
            continue;
        for (const QString &file : {svg, png}) {
            const QString wallAndCpu = medianMs([&] {
                QProcess process;
                process.setStandardOutputFile(QProcess::nullDevice());
                process.start(QStringLiteral(DW_BINARY_DIR "/dialwright"),
                              {QStringLiteral("diagram"), QStringLiteral("--flow-db"),
                               current.databasePath, QStringLiteral("--out"), file});
                if (!process.waitForFinished() || process.exitCode() != 0)
                    fail(QStringLiteral("dialwright diagram failed"));
            });
            out << "dialwright diagram as a process, 999 nodes, " << QFileInfo(file).suffix()
                << ": " << wallAndCpu.section(u'(', 0, 0).trimmed() << " ms\n";
        }
    }
    return ok ? 0 : 1;
}
