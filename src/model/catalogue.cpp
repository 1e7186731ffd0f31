#include "catalogue.h"

#include "sqlconnection.h"

#include <QDir>
#include <QSqlError>
#include <QSqlQuery>

namespace model {

namespace {
CallFunction readRow(const QSqlQuery &q)
{
    return {q.value(0).toInt(), q.value(1).toString(), q.value(2).toString(),
            q.value(3).toString(), q.value(4).toString()};
}

const char kSelect[] =
    "SELECT functionid, functionName, tooltip, iconname, functiondesc FROM Functions";
} // namespace

Catalogue::Catalogue(const QString &appDir)
    : m_appDir(appDir)
{
}

QString Catalogue::path() const
{
    QString actual;
    const QString wanted = QDir(m_appDir).filePath(fileName());
    return fileExistsIgnoringCase(wanted, &actual) ? actual : wanted;
}

QList<CallFunction> Catalogue::seedRows()
{
    return {
        {1, QStringLiteral("Answer Call"), QStringLiteral("answer call"), QStringLiteral("answercall"),
         QStringLiteral("This will answer call")},
        {2, QStringLiteral("play main greetings"), QStringLiteral("play main greetings"),
         QStringLiteral("playmaingreetings"),
         QStringLiteral("This will Play main greetings to the dialed in user")},
        {3, QStringLiteral("get user id digits"), QStringLiteral("get user id digits"),
         QStringLiteral("getuseriddigits"), QStringLiteral("This will ask user to enter User ID")},
        {4, QStringLiteral("get password digits"), QStringLiteral("get password digits"),
         QStringLiteral("getpassworddigits"), QStringLiteral("This will ask user to enter Password")},
        {5, QStringLiteral("play personal greetings"), QStringLiteral("play personal greetings"),
         QStringLiteral("playpersonalgreetings"),
         QStringLiteral("This will Play personal Greetings for the USER ID entered")},
        {6, QStringLiteral("get option digits"), QStringLiteral("get option Digits"),
         QStringLiteral("getoptionDigits"),
         QStringLiteral("This will as user to make a key selection to the path to continue.")},
        {7, QStringLiteral("process recorded messages"), QStringLiteral("process recorded messages"),
         QStringLiteral("processrecordedmsg"),
         QStringLiteral("This will perform processing of recorded messages. ")},
        {8, QStringLiteral("record message"), QStringLiteral("record message"),
         QStringLiteral("recordmessage"),
         QStringLiteral("This will record voice message for the user id entered.")},
        {9, QStringLiteral("play message options"), QStringLiteral("play message options"),
         QStringLiteral("playmessageoptions"),
         QStringLiteral("This will give user options on what to do with the message that has "
                        "just been recorded.")},
        {10, QStringLiteral("delete recorded message"), QStringLiteral("Delete recorded message"),
         QStringLiteral("ignoremsg"), QStringLiteral("This will delete message just recorded.")},
        {11, QStringLiteral("save recorded message"), QStringLiteral("save recorded message"),
         QStringLiteral("savemsg"), QStringLiteral("This will save message just recorded.")},
        {12, QStringLiteral("re-record messages"), QStringLiteral("re-record message"),
         QStringLiteral("rerecordmsg"), QStringLiteral("This will re-record message just recorded.")},
        {13, QStringLiteral("hear recorded message"), QStringLiteral("hear recorded message"),
         QStringLiteral("hearmsg"), QStringLiteral("This will play back message just recorded.")},
        {14, QStringLiteral("hangup"), QStringLiteral("hangup"), QStringLiteral("hangup"),
         QStringLiteral("This will hangup the phone")},
    };
}

bool Catalogue::ensure(bool *created, QString *error) const
{
    return createIfMissing(QDir(m_appDir).filePath(fileName()), seed, created, error);
}

bool Catalogue::seed(QSqlDatabase &db, QString *error)
{
    QSqlQuery q(db);
    const QStringList columns{QStringLiteral("ID INTEGER PRIMARY KEY AUTOINCREMENT"),
                              smallIntColumn(QStringLiteral("functionid")),
                              textColumn(QStringLiteral("functionName"), 30),
                              textColumn(QStringLiteral("tooltip"), 30),
                              textColumn(QStringLiteral("iconname"), 30),
                              textColumn(QStringLiteral("functiondesc"), 150)};
    if (!q.exec(QStringLiteral("CREATE TABLE Functions (%1)").arg(columns.join(u',')))
        || !q.prepare(QStringLiteral("INSERT INTO Functions (functionid, functionName, tooltip, "
                                     "iconname, functiondesc) VALUES (?, ?, ?, ?, ?)")))
        return fail(error, errorText(q.lastError()));
    for (const CallFunction &f : seedRows()) {
        q.addBindValue(f.functionId);
        q.addBindValue(f.functionName);
        q.addBindValue(f.tooltip);
        q.addBindValue(f.iconName);
        q.addBindValue(f.functionDesc);
        if (!q.exec())
            return fail(error, errorText(q.lastError()));
    }
    return true;
}

QList<CallFunction> Catalogue::rows(QString *error) const
{
    QList<CallFunction> result;
    SqlConnection connection(path(), SqlConnection::Mode::MustExist);
    if (!connection.isOpen()) {
        fail(error, connection.errorString());
        return result;
    }
    QSqlQuery q(connection.database());
    q.setForwardOnly(true);
    if (!q.exec(QString::fromLatin1(kSelect) + QStringLiteral(" ORDER BY rowid"))) {
        fail(error, errorText(q.lastError()));
        return result;
    }
    while (q.next())
        result << readRow(q);
    if (!finishedReading(q, QStringLiteral("The catalogue"), error))
        return {};
    return result;
}

std::optional<CallFunction> Catalogue::lookup(const char *column, const QString &value,
                                              QString *error) const
{
    SqlConnection connection(path(), SqlConnection::Mode::MustExist);
    if (!connection.isOpen()) {
        fail(error, connection.errorString());
        return std::nullopt;
    }
    QSqlQuery q(connection.database());
    q.setForwardOnly(true);
    q.prepare(QString::fromLatin1(kSelect)
              + QStringLiteral(" WHERE %1 = ? COLLATE NOCASE ORDER BY rowid LIMIT 1")
                    .arg(QLatin1String(column)));
    q.addBindValue(value);
    if (!q.exec()) {
        fail(error, errorText(q.lastError()));
        return std::nullopt;
    }
    if (!q.next()) {
        finishedReading(q, QStringLiteral("The catalogue"), error);
        return std::nullopt;
    }
    return readRow(q);
}

std::optional<CallFunction> Catalogue::byTooltip(const QString &tooltip, QString *error) const
{
    return lookup("tooltip", tooltip, error);
}

std::optional<CallFunction> Catalogue::byName(const QString &name, QString *error) const
{
    return lookup("functionName", name, error);
}

} // namespace model
