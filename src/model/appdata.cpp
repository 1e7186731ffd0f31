#include "appdata.h"

#include "catalogue.h"
#include "demoflow.h"
#include "memberstore.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>

namespace model {

QString resolveAppDir(const QString &fromCommandLine, const QString &executableDir)
{
    if (!fromCommandLine.isEmpty())
        return QDir(fromCommandLine).absolutePath();
    const QString home = qEnvironmentVariable("DIALWRIGHT_HOME");
    if (!home.isEmpty())
        return QDir(home).absolutePath();
    // A program in its build folder keeps its files beside it; an installed one cannot
    // write there, so it keeps them in the user's data folder, made on its first start.
    if (QFileInfo::exists(QDir(executableDir).filePath(QStringLiteral("CMakeCache.txt"))))
        return QDir(executableDir).absolutePath();
    const QString data = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QDir().mkpath(data); // a failure is reported by the start-up that uses the folder
    return data;
}

QString checkAppDir(const QString &appDir)
{
    const QFileInfo info(appDir);
    if (!info.exists())
        return QStringLiteral("The application folder %1 does not exist.")
            .arg(QDir::toNativeSeparators(appDir));
    if (!info.isDir())
        return QStringLiteral("The application folder %1 is not a folder.")
            .arg(QDir::toNativeSeparators(appDir));
    QTemporaryFile probe(QDir(appDir).filePath(QStringLiteral(".dialwright-XXXXXX")));
    if (!probe.open())
        return QStringLiteral("The application folder %1 cannot be written.")
            .arg(QDir::toNativeSeparators(appDir));
    return {};
}

bool buildDirectory(const QString &appDir, QStringList *created, QString *error)
{
    bool ok = true;
    for (const char *name : {"waves", "mboxes"}) {
        const QString folder = QString::fromLatin1(name);
        const QString path = QDir(appDir).filePath(folder);
        if (QFileInfo(path).isDir())
            continue;
        if (QDir(appDir).mkdir(folder)) {
            if (created)
                created->append(folder);
        } else {
            ok = false;
            if (error)
                *error = QStringLiteral("The folder %1 cannot be created.")
                             .arg(QDir::toNativeSeparators(path));
        }
    }
    return ok;
}

StartupReport initialiseData(const QString &appDir)
{
    StartupReport report;
    const QString folderProblem = checkAppDir(appDir);
    if (!folderProblem.isEmpty() && !QFileInfo(appDir).isDir()) {
        report.problems << folderProblem;
        return report;
    }
    bool created = false;
    QString error;

    MemberStore members(appDir);
    report.membersOk = members.ensure(&created, &error);
    if (created)
        report.created << MemberStore::fileName();
    if (!report.membersOk)
        report.problems << QStringLiteral("Member database %1: %2")
                               .arg(QDir::toNativeSeparators(members.path()), error);

    Catalogue catalogue(appDir);
    error.clear();
    report.catalogueOk = catalogue.ensure(&created, &error);
    if (created)
        report.created << Catalogue::fileName();
    if (!report.catalogueOk)
        report.problems << QStringLiteral("Call-function catalogue %1: %2")
                               .arg(QDir::toNativeSeparators(catalogue.path()), error);

    error.clear();
    report.foldersOk = buildDirectory(appDir, &report.created, &error);
    if (!report.foldersOk)
        report.problems << error;

    error.clear();
    report.flowOk = demoflow::ensure(appDir, &created, &error);
    if (created)
        report.created << demoflow::fileName();
    if (!report.flowOk)
        report.problems << QStringLiteral("Flow database %1: %2")
                               .arg(QDir::toNativeSeparators(demoflow::path(appDir)), error);
    return report;
}

} // namespace model
