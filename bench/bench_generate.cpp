// Generation of a large flow: 999 nodes (keys up to "999_"), every call function, menus of
// up to nine children, for each target. In-process: median of several runs of the whole
// generation (queries, emitters, both pages written), and how the cost grows from 100 to
// 999 nodes. Through the command line: the whole `dialwright generate` process, wall time
// and peak memory (/usr/bin/time -v). Build without sanitizers for meaningful figures.
// CPU time is printed beside wall time: on a busy machine it is the steadier figure.
#include "benchflow.h"

#include "codegen/generator.h"
#include "codegen/narrator.h"
#include "model/flowstore.h"
#include "model/flowtree.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <algorithm>
#include <ctime>
#include <cstdio>
#include <vector>

namespace {

class Quiet final : public codegen::Narrator
{
public:
    void speakText(const QString &) override { ++count; }
    int count = 0;
};

struct Flow
{
    QString database;
    QString table;
};

Flow storeFlow(const QString &dir, int nodes, model::FlowTree &tree)
{
    Flow flow{QDir(dir).filePath(QStringLiteral("flow%1.mdb").arg(nodes)),
              QStringLiteral("bench")};
    QString error;
    buildBenchFlow(tree, nodes);
    if (!model::FlowStore::createMain(flow.database, flow.table, &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        std::exit(1);
    }
    model::FlowStore store(flow.database, flow.table);
    if (!store.writeTree(tree, &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        std::exit(1);
    }
    return flow;
}

Timing generateMs(const model::FlowTree &tree, const Flow &flow, const QString &dir,
                  codegen::GenerationTarget target, int runs)
{
    return measure(
        [&] {
            Quiet narrator;
            const codegen::GenerationResult r =
                codegen::generate(tree, {target, dir, flow.database, flow.table}, &narrator);
            if (!r.ok) {
                std::fprintf(stderr, "%s\n", qPrintable(r.error));
                std::exit(1);
            }
        },
        runs);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const int runs = 15;
    using codegen::GenerationTarget;
    const GenerationTarget targets[] = {GenerationTarget::WteTts, GenerationTarget::WteWave,
                                        GenerationTarget::CallXml, GenerationTarget::Narration};

    model::FlowTree small;
    model::FlowTree large;
    const Flow smallFlow = storeFlow(dir.path(), 100, small);
    const Flow largeFlow = storeFlow(dir.path(), 999, large);
    std::printf("flow: %d nodes, last key %s\n", large.count(),
                qPrintable(large.node(large.count())->key));

    std::printf("\nin-process, median of %d runs (target < 100 ms per target):\n", runs);
    for (const GenerationTarget target : targets) {
        generateMs(large, largeFlow, dir.path(), target, 2); // warm the caches
        const Timing t100 = generateMs(small, smallFlow, dir.path(), target, runs);
        const Timing t999 = generateMs(large, largeFlow, dir.path(), target, runs);
        const QFileInfo page(QDir(dir.path()).filePath(codegen::outputFileName(target)));
        std::printf("  %-8s 999 nodes %6.1f ms (cpu %5.1f)   100 nodes %5.1f ms (cpu %4.1f)"
                    "   ratio %4.1f (cpu %4.1f)   page %lld bytes\n",
                    qPrintable(codegen::targetName(target)), t999.wallMs, t999.cpuMs,
                    t100.wallMs, t100.cpuMs,
                    t999.wallMs / t100.wallMs, t999.cpuMs / t100.cpuMs, page.size());
    }

    const QString program = QStringLiteral(DW_BINARY_DIR "/dialwright");
    if (!QFileInfo(program).isExecutable()) {
        std::printf("\n%s not built: no command-line figures\n", qPrintable(program));
        return 0;
    }
    std::printf("\ncommand line, whole process, median of 5 runs "
                "(targets < 300 ms, peak < 60 MB):\n");
    const QRegularExpression peakLine(
        QStringLiteral("Maximum resident set size \\(kbytes\\): (\\d+)"));
    const QRegularExpression userLine(QStringLiteral("User time \\(seconds\\): ([0-9.]+)"));
    const QRegularExpression systemLine(
        QStringLiteral("System time \\(seconds\\): ([0-9.]+)"));
    for (const GenerationTarget target : targets) {
        std::vector<double> ms;
        std::vector<double> cpu;
        long peakKb = 0;
        for (int i = 0; i < 5; ++i) {
            QProcess process;
            QElapsedTimer timer;
            timer.start();
            process.start(QStringLiteral("/usr/bin/time"),
                          {QStringLiteral("-v"), program, QStringLiteral("generate"),
                           QStringLiteral("--target"), codegen::targetName(target),
                           QStringLiteral("--app-dir"),
                           dir.path(), QStringLiteral("--flow-db"), largeFlow.database,
                           QStringLiteral("--table"), largeFlow.table});
            process.waitForFinished(60000);
            ms.push_back(timer.nsecsElapsed() / 1e6);
            const QString err = QString::fromLocal8Bit(process.readAllStandardError());
            if (process.exitCode() != 0) {
                std::fprintf(stderr, "%s\n", qPrintable(err));
                return 1;
            }
            const auto m = peakLine.match(err);
            if (m.hasMatch())
                peakKb = std::max(peakKb, m.captured(1).toLong());
            cpu.push_back(1e3 * (userLine.match(err).captured(1).toDouble()
                                 + systemLine.match(err).captured(1).toDouble()));
        }
        std::printf("  %-8s %6.1f ms (cpu %5.1f)   peak %5.1f MB\n",
                    qPrintable(codegen::targetName(target)),
                    median(ms), median(cpu), peakKb / 1024.0);
    }
    return 0;
}
