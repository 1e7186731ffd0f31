#include "appdata.h"

#include "catalogue.h"
#include "demoflow.h"
#include "memberstore.h"
#include "sqlconnection.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>

#include <functional>

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
    // Written to, not only created: a full disk takes new empty files.
    QTemporaryFile probe(QDir(appDir).filePath(QStringLiteral(".dialwright-XXXXXX")));
    if (!probe.open() || probe.write("x", 1) != 1 || !probe.flush())
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
    // A folder that cannot be written is said once; what it already holds is still used.
    const bool writable = folderProblem.isEmpty();
    bool missing = false;
    auto step = [&](const QString &file, const char *what, bool *ok,
                    const std::function<bool(bool *, QString *)> &ensure) {
        QString path = QDir(appDir).filePath(file);
        const bool found = fileExistsIgnoringCase(path, &path);
        missing = missing || !found;
        if (!writable && !found)
            return;
        bool created = false;
        QString error;
        *ok = ensure(&created, &error);
        if (created)
            report.created << file;
        if (!*ok)
            report.problems << QStringLiteral("%1 %2: %3")
                                   .arg(QLatin1String(what), QDir::toNativeSeparators(path),
                                        error);
    };
    step(MemberStore::fileName(), "Member database", &report.membersOk,
         [&](bool *made, QString *error) { return MemberStore(appDir).ensure(made, error); });
    step(Catalogue::fileName(), "Call-function catalogue", &report.catalogueOk,
         [&](bool *made, QString *error) { return Catalogue(appDir).ensure(made, error); });

    const bool folders = QFileInfo(QDir(appDir).filePath(QStringLiteral("waves"))).isDir()
                         && QFileInfo(QDir(appDir).filePath(QStringLiteral("mboxes"))).isDir();
    missing = missing || !folders;
    if (writable || folders) {
        QString error;
        report.foldersOk = buildDirectory(appDir, &report.created, &error);
        if (!report.foldersOk)
            report.problems << error;
    }

    step(demoflow::fileName(), "Flow database", &report.flowOk,
         [&](bool *made, QString *error) { return demoflow::ensure(appDir, made, error); });
    if (missing && !writable)
        report.problems.prepend(folderProblem);
    return report;
}

} // namespace model
