#include "diagramcommand.h"

#include "commandline.h"

#include "diagram/diagramexport.h"
#include "diagram/diagramscene.h"
#include "model/flowstore.h"
#include "model/flowtree.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QTextStream>

namespace app {

namespace {

// Loads the flow table as the designer's Load does; false with a sentence when it cannot.
bool loadFlow(const FlowOptions &options, model::FlowTree &tree, QString *error, int *skipped)
{
    const QString shown = QDir::toNativeSeparators(options.database);
    if (!QFileInfo(options.database).isFile()) {
        *error = QStringLiteral("the flow database %1 does not exist.").arg(shown);
        return false;
    }
    model::FlowStore store(options.database, options.table);
    if (!store.isOpen()) {
        *error = QStringLiteral("cannot read the flow database %1: %2")
                     .arg(shown, store.errorString());
        return false;
    }
    if (!store.isFlowTable(options.table)) {
        *error = QStringLiteral("the flow database %1 has no flow table %2.")
                     .arg(shown, options.table);
        return false;
    }
    QString why;
    if (!store.loadInto(tree, &why, skipped)) {
        *error = QStringLiteral("the table %1 cannot be loaded: %2").arg(options.table, why);
        return false;
    }
    return true;
}

} // namespace

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

    model::FlowTree tree;
    int skipped = 0;
    if (!loadFlow(options, tree, &error, &skipped)) {
        err << "No diagram written: " << error << Qt::endl;
        return ExitFailed;
    }
    if (skipped > 0)
        err << skipped << (skipped == 1 ? " row was" : " rows were")
            << " left out: their parent node is not in the table before them." << Qt::endl;

    diagram::DiagramScene scene;
    QString unread;
    double scale = 1.0;
    if (!scene.drawFlow(tree, options.database, options.table, &error, &unread)
        || !diagram::exportDiagram(scene, outFile, diagram::diagramTitle(options.table), &error,
                                   &scale)) {
        err << "No diagram written: " << error << Qt::endl;
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
