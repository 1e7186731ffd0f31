#include "flowfilecommands.h"

#include "flowjson/flowtransfer.h"
#include "model/demoflow.h"
#include "model/sqlconnection.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QTextStream>

namespace app {

namespace {

const char kExportUsage[] = "Usage: dialwright export [--app-dir DIR] [--flow-db FILE] "
                            "[--table NAME] [--out FILE]";

// The options both commands share.
struct FlowOptions
{
    QString appDir;
    QString database;
    QString table;
};

void addFlowOptions(QCommandLineParser &parser)
{
    parser.addOption({QStringLiteral("app-dir"), QStringLiteral("Application folder."),
                      QStringLiteral("DIR")});
    parser.addOption({QStringLiteral("flow-db"), QStringLiteral("Flow database file."),
                      QStringLiteral("FILE")});
    parser.addOption({QStringLiteral("table"), QStringLiteral("Flow table."),
                      QStringLiteral("NAME")});
}

// False with the reason in *error when the command line is wrong.
bool parseFlowOptions(QCommandLineParser &parser, const QStringList &args,
                      const QString &appDirDefault, FlowOptions *options, QString *error)
{
    if (!parser.parse(QStringList{QStringLiteral("dialwright")} + args)) {
        *error = parser.errorText();
        return false;
    }
    for (const QString &name : parser.optionNames()) {
        if (parser.values(name).size() > 1 || parser.value(name).isEmpty()) {
            *error = QStringLiteral("--%1 needs one value.").arg(name);
            return false;
        }
    }
    const QString appDir = parser.value(QStringLiteral("app-dir"));
    options->appDir = appDir.isEmpty() ? appDirDefault : QDir(appDir).absolutePath();
    const QString database = parser.value(QStringLiteral("flow-db"));
    options->database = database.isEmpty() ? model::demoflow::path(options->appDir)
                                           : QFileInfo(database).absoluteFilePath();
    options->table = parser.isSet(QStringLiteral("table")) ? parser.value(QStringLiteral("table"))
                                                           : model::demoflow::tableName();
    QString why;
    if (!model::isValidTableName(options->table, &why)) {
        *error = QStringLiteral("Table name %1: %2").arg(options->table, why);
        return false;
    }
    return true;
}

} // namespace

int runExportCommand(const QStringList &args, const QString &appDirDefault, QTextStream &out,
                     QTextStream &err)
{
    QCommandLineParser parser;
    addFlowOptions(parser);
    parser.addOption({QStringLiteral("out"), QStringLiteral("File to write."),
                      QStringLiteral("FILE")});
    if (args.contains(QStringLiteral("--help")) || args.contains(QStringLiteral("-h"))) {
        out << kExportUsage << Qt::endl;
        return 0;
    }
    FlowOptions options;
    QString error;
    if (parseFlowOptions(parser, args, appDirDefault, &options, &error)
        && !parser.positionalArguments().isEmpty())
        error = QStringLiteral("Unknown argument for export: %1")
                    .arg(parser.positionalArguments().join(u' '));
    if (!error.isEmpty()) {
        err << error << Qt::endl << kExportUsage << Qt::endl;
        return 2;
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
