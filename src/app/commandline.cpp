#include "commandline.h"

#include "model/demoflow.h"
#include "model/flowstore.h"
#include "model/sqlconnection.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QTextStream>

namespace app {

namespace {

QString helpText(const QCommandLineParser &parser, const QString &program)
{
    // The parser names the program as it was called ("Usage: ./dialwright [options]");
    // the usage shows its name and the command's.
    QString text = parser.helpText();
    const qsizetype start = text.indexOf(u':') + 2;
    const qsizetype end = text.indexOf(u' ', start);
    if (start > 1 && end > start)
        text.replace(start, end - start, program);
    return text;
}

} // namespace

std::optional<int> parseCommandLine(QCommandLineParser &parser, const QString &command,
                                    const QStringList &args, QTextStream &out,
                                    QTextStream &err, int minArguments, int maxArguments)
{
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    const QString program = command.isEmpty() ? QStringLiteral("dialwright")
                                              : QStringLiteral("dialwright ") + command;
    QString error;
    if (!parser.parse(QStringList{program} + args)) {
        error = parser.errorText();
    } else if (parser.isSet(help) || parser.isSet(QStringLiteral("help-all"))) {
        out << helpText(parser, program);
        return ExitDone;
    } else if (parser.isSet(version)) {
        out << "dialwright " << DW_VERSION << Qt::endl;
        return ExitDone;
    } else {
        for (const QString &name : parser.optionNames()) {
            if (parser.values(name).size() > 1)
                error = QStringLiteral("--%1 is given more than once.").arg(name);
        }
        const qsizetype count = parser.positionalArguments().size();
        if (count < minArguments)
            error = QStringLiteral("Missing argument.");
        else if (count > maxArguments)
            error = QStringLiteral("Unknown argument for %1: %2")
                        .arg(command.isEmpty() ? QStringLiteral("the window") : command,
                             parser.positionalArguments().at(maxArguments));
    }
    if (error.isEmpty())
        return std::nullopt;
    err << program << ": " << error << '\n'
        << helpText(parser, program).section(u'\n', 0, 0) << "\n(--help tells more)\n";
    err.flush();
    return ExitBadArguments;
}

void addAppDirOption(QCommandLineParser &parser)
{
    parser.addOption({QStringLiteral("app-dir"),
                      QStringLiteral("The application folder (default: DIALWRIGHT_HOME, else "
                                     "the user's data folder)."),
                      QStringLiteral("DIR")});
}

QString appDirOption(const QCommandLineParser &parser, const QString &appDirDefault)
{
    const QString dir = parser.value(QStringLiteral("app-dir"));
    return dir.isEmpty() ? appDirDefault : QDir(dir).absolutePath();
}

void addFlowOptions(QCommandLineParser &parser)
{
    addAppDirOption(parser);
    parser.addOption({QStringLiteral("flow-db"),
                      QStringLiteral("The flow database (default: callflow.mdb there)."),
                      QStringLiteral("FILE")});
    parser.addOption({QStringLiteral("table"), QStringLiteral("The flow table (default: nodesflow)."),
                      QStringLiteral("NAME")});
}

bool flowOptions(const QCommandLineParser &parser, const QString &appDirDefault,
                 FlowOptions *options, QString *error)
{
    options->appDir = appDirOption(parser, appDirDefault);
    const QString database = parser.value(QStringLiteral("flow-db"));
    options->database = database.isEmpty() ? model::demoflow::path(options->appDir)
                                           : QFileInfo(database).absoluteFilePath();
    options->table = parser.isSet(QStringLiteral("table")) ? parser.value(QStringLiteral("table"))
                                                           : model::demoflow::tableName();
    QString why;
    if (model::isValidTableName(options->table, &why))
        return true;
    *error = QStringLiteral("Table name %1: %2").arg(options->table, why);
    return false;
}

bool isFlowDatabase(const QString &database, const QString &failure, QTextStream &err)
{
    if (QFileInfo(database).isFile())
        return true;
    err << failure << "the flow database " << QDir::toNativeSeparators(database)
        << (QFileInfo(database).isDir() ? " is a folder, not a database file."
                                        : " does not exist.")
        << Qt::endl;
    return false;
}

bool loadFlow(const FlowOptions &options, model::FlowTree &tree, const QString &failure,
              QTextStream &err)
{
    if (!isFlowDatabase(options.database, failure, err))
        return false;
    model::FlowStore store(options.database, options.table);
    if (!store.isOpen()) {
        err << failure << "cannot read the flow database "
            << QDir::toNativeSeparators(options.database) << ": " << store.errorString()
            << Qt::endl;
        return false;
    }
    QString error;
    model::SkippedRows skipped;
    if (!store.loadInto(tree, &error, &skipped)) {
        err << failure << error << Qt::endl;
        return false;
    }
    if (skipped.total() > 0)
        err << skipped.describe() << Qt::endl;
    return true;
}

} // namespace app
