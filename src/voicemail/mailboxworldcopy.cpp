#include "mailboxworldcopy.h"

#include "model/memberstore.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

namespace voicemail {

bool copyMailboxWorld(const QString &appDir, const QString &copyDir, QString *error)
{
    const QDir from(appDir);
    const QDir to(copyDir);
    auto copy = [&](const QString &source, const QString &target) {
        if (QFile::copy(source, target))
            return true;
        *error = QStringLiteral("%1 could not be copied for the call.")
                     .arg(QDir::toNativeSeparators(source));
        return false;
    };
    const QString members = model::MemberStore(appDir).path();
    if (QFileInfo(members).isFile()
        && !copy(members, to.filePath(model::MemberStore::fileName())))
        return false;
    const QString mboxes = from.filePath(QStringLiteral("mboxes"));
    if (!to.mkpath(QStringLiteral("mboxes"))) {
        *error = QStringLiteral("No folder for the copy of the mailboxes.");
        return false;
    }
    QDirIterator it(mboxes, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString source = it.next();
        const QString target = to.filePath(from.relativeFilePath(source));
        const QFileInfo info = it.fileInfo();
        if (info.isDir() && !info.isSymLink()) {
            if (!QDir().mkpath(target)) {
                *error = QStringLiteral("No folder %1 in the copy of the mailboxes.")
                             .arg(from.relativeFilePath(source));
                return false;
            }
        } else if (info.isFile()
                   && !(QDir().mkpath(QFileInfo(target).path()) && copy(source, target))) {
            return false;
        }
    }
    return true;
}

} // namespace voicemail
