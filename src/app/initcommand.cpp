#include "initcommand.h"

#include "model/appdata.h"

#include <QDir>
#include <QTextStream>

namespace app {

QString takeAppDirOption(QStringList &args, QString *error)
{
    QString dir;
    for (int i = 0; i < args.size(); ++i) {
        const QString &a = args.at(i);
        if (a == u"--app-dir") {
            if (i + 1 >= args.size()) {
                if (error)
                    *error = QStringLiteral("--app-dir needs a folder.");
                args.removeAt(i);
                return QString();
            }
            dir = args.at(i + 1);
            args.remove(i, 2);
            --i;
        } else if (a.startsWith(QLatin1String("--app-dir="))) {
            dir = a.mid(10);
            args.removeAt(i);
            --i;
        }
    }
    return dir;
}

int runInitCommand(const QStringList &arguments, const QString &appDirDefault, QTextStream &out,
                   QTextStream &err)
{
    QStringList args = arguments;
    QString error;
    const QString option = takeAppDirOption(args, &error);
    if (!error.isEmpty()) {
        err << error << Qt::endl;
        return 2;
    }
    if (!args.isEmpty()) {
        err << "Unknown argument for init: " << args.join(u' ') << Qt::endl;
        err << "Usage: dialwright init [--app-dir DIR]" << Qt::endl;
        return 2;
    }
    const QString appDir = option.isNull() ? appDirDefault : QDir(option).absolutePath();
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
