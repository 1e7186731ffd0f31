#include "sqlconnection.h"

#include <QAtomicInt>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryFile>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace model {

namespace {
QAtomicInt connectionCounter;
}

SqlConnection::SqlConnection(const QString &path, Mode mode)
    : m_connectionName(QStringLiteral("dw-%1").arg(connectionCounter.fetchAndAddRelaxed(1)))
    , m_path(path)
{
    const QFileInfo info(path);
    const QString native = QDir::toNativeSeparators(path);
    if (mode == Mode::MustExist && !info.exists()) {
        m_error = QStringLiteral("The database file %1 does not exist.").arg(native);
        return;
    }
    if (info.exists() && !info.isFile()) {
        m_error = QStringLiteral("%1 is not a database file.").arg(native);
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
                      .arg(native, db.lastError().text());
        return;
    }
    QSqlQuery probe(db);
    if (!probe.exec(QStringLiteral("PRAGMA schema_version"))) {
        const QString why = probe.lastError().databaseText();
        m_error = why.contains(QLatin1String("not a database"), Qt::CaseInsensitive)
                      ? QStringLiteral("The file %1 is not a database.").arg(native)
                      : QStringLiteral("The database %1 cannot be read: %2").arg(native, why);
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
            return refuse(QStringLiteral("A table name cannot contain . ! ` [ ] or control "
                                         "characters."));
    }
    return true;
}

bool fail(QString *error, const QString &text)
{
    if (error)
        *error = text;
    return false;
}

QString errorText(const QSqlError &error)
{
    const QString text = error.databaseText().isEmpty() ? error.text() : error.databaseText();
    static const QRegularExpression lengthCheck(
        QString::fromLatin1(R"re(CHECK constraint failed: length\("?(\w+)"?\) <= (\d+))re"));
    static const QRegularExpression integerCheck(
        QString::fromLatin1(R"re(CHECK constraint failed: "?(\w+)"?( IS NULL|$))re"));
    QRegularExpressionMatch m = lengthCheck.match(text);
    if (m.hasMatch())
        return QStringLiteral("The value is too long for the column %1 (at most %2 characters).")
            .arg(m.captured(1), m.captured(2));
    m = integerCheck.match(text);
    if (m.hasMatch())
        return QStringLiteral("The column %1 takes a whole number from -32768 to 32767.")
            .arg(m.captured(1));
    if (text.contains(QLatin1String("readonly"), Qt::CaseInsensitive)
        || text.contains(QLatin1String("read-only"), Qt::CaseInsensitive))
        return QStringLiteral("The database cannot be written (it is read-only): %1").arg(text);
    if (text.contains(QLatin1String("locked"), Qt::CaseInsensitive))
        return QStringLiteral("The database is locked by another program: %1").arg(text);
    return text;
}

bool finishedReading(const QSqlQuery &query, const QString &what, QString *error)
{
    if (!query.lastError().isValid())
        return true;
    return fail(error, QStringLiteral("%1 cannot be read to its end: %2")
                           .arg(what, errorText(query.lastError())));
}

bool inTransaction(QSqlDatabase db, QString *error, const std::function<bool()> &work)
{
    if (!db.transaction())
        return fail(error, errorText(db.lastError()));
    if (!work()) {
        db.rollback();
        return false;
    }
    if (!db.commit()) {
        fail(error, errorText(db.lastError()));
        db.rollback();
        return false;
    }
    return true;
}

QString textColumn(const QString &name, int size)
{
    return QStringLiteral("\"%1\" TEXT COLLATE NOCASE CHECK(length(\"%1\") <= %2)")
        .arg(name)
        .arg(size);
}

QString smallIntColumn(const QString &name)
{
    return QStringLiteral("\"%1\" INTEGER CHECK(\"%1\" IS NULL OR (typeof(\"%1\") = 'integer'"
                          " AND \"%1\" BETWEEN -32768 AND 32767))")
        .arg(name);
}

bool createIfMissing(const QString &path, const DatabaseSeed &seed, bool *created,
                     QString *error)
{
    if (created)
        *created = false;
    QString target = path;
    if (fileExistsIgnoringCase(path, &target) && QFileInfo(target).size() > 0) {
        SqlConnection probe(target, SqlConnection::Mode::MustExist);
        return probe.isOpen() || fail(error, probe.errorString());
    }
    const QString native = QDir::toNativeSeparators(target);
    QTemporaryFile temporary(target + QStringLiteral(".XXXXXX"));
    if (!temporary.open())
        return fail(error, QStringLiteral("%1 cannot be created: %2")
                               .arg(native, temporary.errorString()));
    temporary.close(); // SQLite opens it by name; an empty file is an empty database
    const QString journal = temporary.fileName() + QStringLiteral("-journal");
    bool seeded = false;
    {
        SqlConnection connection(temporary.fileName(), SqlConnection::Mode::MustExist);
        if (!connection.isOpen())
            return fail(error, connection.errorString());
        QSqlDatabase db = connection.database();
        QString why;
        seeded = inTransaction(db, &why, [&] { return seed(db, &why); });
        if (!seeded)
            fail(error, QStringLiteral("%1 cannot be created: %2").arg(native, why));
    }
    if (!seeded) {
        QFile::remove(journal);
        return false;
    }
    // rename() replaces a 0-byte file of the same name in one step.
    if (std::rename(QFile::encodeName(temporary.fileName()).constData(),
                    QFile::encodeName(target).constData())
        != 0)
        return fail(error, QStringLiteral("%1 cannot be created: %2")
                               .arg(native, QString::fromLocal8Bit(std::strerror(errno))));
    if (created)
        *created = true;
    return true;
}

} // namespace model
