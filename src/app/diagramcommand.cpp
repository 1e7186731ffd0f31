#include "diagramcommand.h"

#include "commandline.h"

#include "diagram/diagramexport.h"
#include "diagram/diagramscene.h"
#include "model/flowtree.h"

#include <QCommandLineParser>
#include <QDir>
#include <QTextStream>

namespace app {

int runDiagramCommand(const QStringList &args, const QString &appDirDefault, QTextStream &out,
                      QTextStream &err)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Draws the flow of a table as the Diagram tab does and writes it as an SVG drawing or "
        "a PNG picture, by the name's ending."));
    addFlowOptions(parser);
    parser.addOption({QStringLiteral("out"), QStringLiteral("The file to write: .svg or .png."),
                      QStringLiteral("FILE")});
    if (const std::optional<int> status =
            parseCommandLine(parser, QStringLiteral("diagram"), args, out, err))
        return *status;
    FlowOptions options;
    QString error;
    const QString outFile = parser.value(QStringLiteral("out"));
    if (flowOptions(parser, appDirDefault, &options, &error)) {
        if (outFile.isEmpty())
            error = QStringLiteral("diagram needs --out.");
        else if (diagram::exportFormatOf(outFile) == diagram::ExportFormat::Unknown)
            error = QStringLiteral("%1: a diagram file name ends in .svg or .png.").arg(outFile);
    }
    if (!error.isEmpty()) {
        err << error << Qt::endl;
        return ExitBadArguments;
    }

    const QString failure = QStringLiteral("No diagram written: ");
    model::FlowTree tree;
    if (!loadFlow(options, tree, failure, err))
        return ExitFailed;

    diagram::DiagramScene scene;
    QString unread;
    double scale = 1.0;
    if (!scene.drawFlow(tree, options.database, options.table, &error, &unread)
        || !diagram::exportDiagram(scene, outFile, diagram::diagramTitle(options.table), &error,
                                   &scale)) {
        err << failure << error << Qt::endl;
        return ExitFailed;
    }
    if (!unread.isEmpty())
        err << "Node properties could not be read, defaults shown: " << unread << Qt::endl;
    out << "Diagram written to " << QDir::toNativeSeparators(outFile);
    if (scale < 1.0)
        out << " (scaled to " << qRound(scale * 100) << "% to fit a picture)";
    out << '.' << Qt::endl;
    return ExitDone;
}

} // namespace app
