#include "flowfilecommands.h"

#include "commandline.h"

#include "flowjson/flowtransfer.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QTextStream>

namespace app {

int runExportCommand(const QStringList &args, const QString &appDirDefault, QTextStream &out,
                     QTextStream &err)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Writes the flow of a table as a JSON flow file."));
    addFlowOptions(parser);
    parser.addOption({QStringLiteral("out"),
                      QStringLiteral("The file to write (default: standard output)."),
                      QStringLiteral("FILE")});
    if (const std::optional<int> status =
            parseCommandLine(parser, QStringLiteral("export"), args, out, err))
        return *status;
    FlowOptions options;
    QString error;
    if (!flowOptions(parser, appDirDefault, &options, &error)) {
        err << error << Qt::endl;
        return ExitBadArguments;
    }
    if (!QFileInfo(options.database).isFile()) {
        err << "Nothing exported: the flow database " << QDir::toNativeSeparators(options.database)
            << " does not exist." << Qt::endl;
        return 1;
    }
    const flowjson::ExportResult result = flowjson::exportFlow(options.database, options.table);
    if (!result.ok) {
        err << "Nothing exported: " << result.error << Qt::endl;
        return 1;
    }
    if (result.skipped > 0)
        err << result.skipped << (result.skipped == 1 ? " row was" : " rows were")
            << " left out: their parent node is not in the table before them." << Qt::endl;

    const QString outFile = parser.value(QStringLiteral("out"));
    if (outFile.isEmpty()) {
        out << QString::fromUtf8(result.bytes);
        out.flush();
        return 0;
    }
    QSaveFile file(outFile);
    if (!file.open(QIODevice::WriteOnly) || file.write(result.bytes) != result.bytes.size()
        || !file.commit()) {
        err << "Nothing exported: cannot write " << QDir::toNativeSeparators(outFile) << ": "
            << file.errorString() << Qt::endl;
        return 1;
    }
    return 0;
}

} // namespace app
