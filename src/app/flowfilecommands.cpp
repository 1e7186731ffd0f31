#include "flowfilecommands.h"

#include "commandline.h"

#include "flowjson/flowreader.h"
#include "flowjson/flowrules.h"
#include "flowjson/flowtransfer.h"
#include "model/demoflow.h"

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
    if (result.skipped.total() > 0)
        err << result.skipped.describe() << Qt::endl;

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

int runImportCommand(const QStringList &args, const QString &appDirDefault, QTextStream &out,
                     QTextStream &err)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Checks a JSON flow file, then writes its flow into the flow table "
                       "--table NAME (which it needs), all or nothing."));
    parser.addPositionalArgument(QStringLiteral("FILE"), QStringLiteral("The flow file."));
    addFlowOptions(parser);
    parser.addOption({QStringLiteral("replace"),
                      QStringLiteral("Replace the rows of the table when it exists.")});
    if (const std::optional<int> status =
            parseCommandLine(parser, QStringLiteral("import"), args, out, err, 1, 1))
        return *status;
    FlowOptions options;
    QString error;
    if (!parser.isSet(QStringLiteral("table")))
        error = QStringLiteral("import needs --table NAME, the table to write.");
    else
        flowOptions(parser, appDirDefault, &options, &error);
    if (!error.isEmpty()) {
        err << error << Qt::endl;
        return ExitBadArguments;
    }

    const QString fileName = parser.positionalArguments().constFirst();
    flowjson::FlowContent content;
    QStringList problems;
    if (!flowjson::readFlowFile(fileName, &content, &problems)) {
        err << "Nothing imported: " << QDir::toNativeSeparators(fileName) << Qt::endl
            << flowjson::rules::summary(problems) << Qt::endl;
        return ExitFailed;
    }
    // The default flow database keeps its demonstration flow: an import never stands in
    // for it.
    if (!parser.isSet(QStringLiteral("flow-db"))) {
        if (!model::demoflow::ensure(options.appDir, nullptr, &error)) {
            err << "Nothing imported: " << error << Qt::endl;
            return ExitFailed;
        }
        options.database = model::demoflow::path(options.appDir);
    }
    const flowjson::ImportResult result = flowjson::importFlow(
        content, options.database, options.table, parser.isSet(QStringLiteral("replace")));
    if (!result.ok) {
        err << "Nothing imported: " << result.error << Qt::endl;
        if (result.refusedAsExisting)
            err << "Give --replace to replace its rows." << Qt::endl;
        return ExitFailed;
    }
    out << "Imported " << content.tree.count() << " nodes into the table " << options.table
        << " of " << QDir::toNativeSeparators(options.database) << "." << Qt::endl;
    return ExitDone;
}

} // namespace app
