#include "initcommand.h"

#include "commandline.h"

#include "model/appdata.h"

#include <QCommandLineParser>
#include <QDir>
#include <QTextStream>

namespace app {

int runInitCommand(const QStringList &args, const QString &appDirDefault, QTextStream &out,
                   QTextStream &err)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Creates the databases and folders the program needs where they are missing,\n"
        "and says what it made."));
    addAppDirOption(parser);
    if (const std::optional<int> status = parseCommandLine(parser, QStringLiteral("init"), args,
                                                           out, err))
        return *status;
    const QString appDir = appDirOption(parser, appDirDefault);
    const model::StartupReport report = model::initialiseData(appDir);
    out << "Application folder: " << QDir::toNativeSeparators(appDir) << Qt::endl;
    for (const QString &name : report.created)
        out << "Created " << name << Qt::endl;
    if (report.created.isEmpty() && report.problems.isEmpty())
        out << "Nothing to create: the databases and folders were already there." << Qt::endl;
    for (const QString &problem : report.problems)
        err << problem << Qt::endl;
    return report.problems.isEmpty() ? 0 : 1;
}

} // namespace app
