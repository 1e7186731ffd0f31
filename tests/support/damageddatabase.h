#pragma once

#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>

// Appends `count` rows to `table` whose `column` reads "row 0000 ...", "row 0001 ...", then
// overwrites the database page that holds row count*3/4 with garbage, as a failing disk
// would: the pages before it still read, so a reader that stops at the damage without
// noticing sees a shorter table. False when the file could not be prepared so.
inline bool appendRowsAndDamage(const QString &path, const QString &table,
                                const QString &column, int count = 400)
{
    const QString name = QStringLiteral("damage-") + path;
    bool filled = true;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        filled = db.open() && db.transaction();
        QSqlQuery q(db);
        filled = filled
                 && q.prepare(QStringLiteral("INSERT INTO \"%1\" (\"%2\") VALUES (?)")
                                  .arg(table, column));
        for (int i = 0; filled && i < count; ++i) {
            q.addBindValue(QStringLiteral("row %1 ......").arg(i, 4, 10, QLatin1Char('0')));
            filled = q.exec();
        }
        q.finish();
        filled = filled && db.commit();
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    QFile file(path);
    if (!filled || !file.open(QIODevice::ReadWrite))
        return false;
    const QByteArray data = file.readAll();
    const QByteArray marker = QStringLiteral("row %1 ").arg(count * 3 / 4, 4, 10, QLatin1Char('0'))
                                  .toLatin1();
    const qsizetype at = data.indexOf(marker);
    const int pageSize = data.size() > 17 ? (uchar(data[16]) << 8) | uchar(data[17]) : 0;
    // Page 1 holds the schema; damaging it would stop every reader at once.
    if (at < 0 || pageSize < 512 || at < pageSize || !file.seek(at / pageSize * pageSize))
        return false;
    return file.write(QByteArray(pageSize, '\xff')) == pageSize;
}
