#pragma once

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QMap>

// Every file and folder below `dir` with its content hash and modification time, so that a
// test can show that a run changed nothing on disk.
inline QMap<QString, QByteArray> fileSnapshot(const QString &dir)
{
    QMap<QString, QByteArray> files;
    QDirIterator it(dir, QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        QByteArray hash = "dir";
        QFile f(path);
        if (it.fileInfo().isFile() && f.open(QIODevice::ReadOnly))
            hash = QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256)
                   + QByteArray::number(it.fileInfo().lastModified().toMSecsSinceEpoch());
        files.insert(QDir(dir).relativeFilePath(path), hash);
    }
    return files;
}
