#include "sqlconnection.h"

#include <QAtomicInt>
#include <QDir>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>

namespace model {

namespace {
QAtomicInt connectionCounter;
}

SqlConnection::SqlConnection(const QString &path, Mode mode)
    : m_connectionName(QStringLiteral("dw-%1").arg(connectionCounter.fetchAndAddRelaxed(1)))
    , m_path(path)
{
    const QFileInfo info(path);
    if (mode == Mode::MustExist && !info.exists()) {
        m_error = QStringLiteral("The database file %1 does not exist.").arg(QDir::toNativeSeparators(path));
        return;
    }
    if (info.exists() && !info.isFile()) {
        m_error = QStringLiteral("%1 is not a database file.").arg(QDir::toNativeSeparators(path));
        return;
    }
    if (!info.exists() && !QFileInfo(info.absolutePath()).isDir()) {
        m_error = QStringLiteral("The folder %1 does not exist.")
                      .arg(QDir::toNativeSeparators(info.absolutePath()));
        return;
    }
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connectionName);
    db.setDatabaseName(path);
    if (!db.open()) {
        m_error = QStringLiteral("The database %1 cannot be opened: %2")
                      .arg(QDir::toNativeSeparators(path), db.lastError().text());
        return;
    }
    QSqlQuery probe(db);
    if (!probe.exec(QStringLiteral("PRAGMA schema_version"))) {
        const QString why = probe.lastError().databaseText();
        m_error = why.contains(QLatin1String("not a database"), Qt::CaseInsensitive)
                      ? QStringLiteral("The file %1 is not a database.").arg(QDir::toNativeSeparators(path))
                      : QStringLiteral("The database %1 cannot be read: %2")
                            .arg(QDir::toNativeSeparators(path), why);
        probe.finish();
        db.close();
        return;
    }
    probe.finish();
    QSqlQuery(db).exec(QStringLiteral("PRAGMA foreign_keys = OFF"));
    m_open = true;
}

SqlConnection::~SqlConnection()
{
    {
        QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
        if (db.isOpen())
            db.close();
    }
    QSqlDatabase::removeDatabase(m_connectionName);
}

QSqlDatabase SqlConnection::database() const
{
    return QSqlDatabase::database(m_connectionName, false);
}

QString SqlConnection::quoted(const QString &identifier) const
{
    return quoteIdentifier(identifier);
}

QString quoteIdentifier(const QString &name)
{
    QString quoted = name;
    quoted.replace(u'"', QLatin1String("\"\""));
    return u'"' + quoted + u'"';
}

bool fileExistsIgnoringCase(const QString &path, QString *actualPath)
{
    const QFileInfo info(path);
    if (info.isFile()) {
        if (actualPath)
            *actualPath = info.absoluteFilePath();
        return true;
    }
    const QDir dir = info.absoluteDir();
    const QStringList entries = dir.entryList(QDir::Files | QDir::Hidden);
    for (const QString &entry : entries) {
        if (entry.compare(info.fileName(), Qt::CaseInsensitive) == 0) {
            if (actualPath)
                *actualPath = dir.absoluteFilePath(entry);
            return true;
        }
    }
    return false;
}

bool isValidTableName(const QString &name, QString *why)
{
    auto refuse = [why](const QString &text) {
        if (why)
            *why = text;
        return false;
    };
    if (name.isEmpty())
        return refuse(QStringLiteral("A table name cannot be empty."));
    if (name.size() > 64)
        return refuse(QStringLiteral("A table name can have at most 64 characters."));
    if (name.front().isSpace())
        return refuse(QStringLiteral("A table name cannot begin with a blank."));
    if (name.startsWith(QLatin1String("sqlite_"), Qt::CaseInsensitive))
        return refuse(QStringLiteral("Table names beginning with sqlite_ are reserved."));
    for (const QChar c : name) {
        if (c.unicode() < 32 || c == u'.' || c == u'!' || c == u'`' || c == u'[' || c == u']')
            return refuse(QStringLiteral("A table name cannot contain . ! ` [ ] or control characters."));
    }
    return true;
}

} // namespace model
