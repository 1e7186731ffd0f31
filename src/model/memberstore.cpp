#include "memberstore.h"

#include "sqlconnection.h"

#include <QDir>
#include <QSqlError>
#include <QSqlQuery>

namespace model {

namespace {
// An empty box stands for no value; anything else goes to the store as typed, which
// converts digits to numbers and refuses the rest.
QVariant bound(const QVariant &v)
{
    if (v.isNull())
        return QVariant();
    if (v.typeId() == QMetaType::QString && v.toString().trimmed().isEmpty())
        return QVariant();
    return v;
}
} // namespace

MemberStore::MemberStore(const QString &appDir)
    : m_appDir(appDir)
{
}

QString MemberStore::path() const
{
    const QString wanted = QDir(m_appDir).filePath(fileName());
    QString actual;
    return fileExistsIgnoringCase(wanted, &actual) ? actual : wanted;
}

bool MemberStore::ensure(bool *created, QString *error) const
{
    return createIfMissing(QDir(m_appDir).filePath(fileName()), seed, created, error);
}

bool MemberStore::seed(QSqlDatabase &db, QString *error)
{
    struct Sample
    {
        int mailbox;
        int password;
        const char *first;
        const char *last;
    };
    const Sample samples[] = {{1001, 7461, "John", "Doe"},
                              {1002, 8259, "Jane", "Doe"},
                              {1003, 7315, "Oliver", "Brantley"},
                              {1004, 8462, "Arthur", "Pennock"}};
    const QStringList columns{QStringLiteral("ID INTEGER PRIMARY KEY AUTOINCREMENT"),
                              smallIntColumn(QStringLiteral("mailbox")),
                              smallIntColumn(QStringLiteral("password")),
                              textColumn(QStringLiteral("Fname"), 30),
                              textColumn(QStringLiteral("Lname"), 30),
                              smallIntColumn(QStringLiteral("attempts"))};
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("CREATE TABLE members (%1)").arg(columns.join(u',')))
        || !q.prepare(QStringLiteral("INSERT INTO members (mailbox, attempts, password, Fname, "
                                     "Lname) VALUES (?, 0, ?, ?, ?)")))
        return fail(error, errorText(q.lastError()));
    for (const Sample &s : samples) {
        q.addBindValue(s.mailbox);
        q.addBindValue(s.password);
        q.addBindValue(QString::fromLatin1(s.first));
        q.addBindValue(QString::fromLatin1(s.last));
        if (!q.exec())
            return fail(error, errorText(q.lastError()));
    }
    return true;
}

QList<Member> MemberStore::all(QString *error) const
{
    QList<Member> result;
    SqlConnection connection(path(), SqlConnection::Mode::MustExist);
    if (!connection.isOpen()) {
        fail(error, connection.errorString());
        return result;
    }
    QSqlQuery q(connection.database());
    q.setForwardOnly(true);
    if (!q.exec(QStringLiteral("SELECT ID, Fname, Lname, mailbox, password, attempts FROM members "
                               "ORDER BY Lname COLLATE NOCASE, rowid"))) {
        fail(error, errorText(q.lastError()));
        return result;
    }
    while (q.next()) {
        result.append({q.value(0).toLongLong(), q.value(1), q.value(2), q.value(3), q.value(4),
                       q.value(5)});
    }
    if (!finishedReading(q, QStringLiteral("The member list"), error))
        return {};
    return result;
}

bool MemberStore::fetch(qint64 id, Member *member, QString *error) const
{
    SqlConnection connection(path(), SqlConnection::Mode::MustExist);
    if (!connection.isOpen())
        return fail(error, connection.errorString());
    QSqlQuery q(connection.database());
    q.prepare(QStringLiteral("SELECT ID, Fname, Lname, mailbox, password, attempts FROM members "
                             "WHERE ID = ?"));
    q.addBindValue(id);
    if (!q.exec())
        return fail(error, errorText(q.lastError()));
    if (!q.next())
        return finishedReading(q, QStringLiteral("The member's record"), error)
               && fail(error, QStringLiteral("The member's record no longer exists."));
    if (member) {
        *member = {q.value(0).toLongLong(), q.value(1), q.value(2), q.value(3), q.value(4),
                   q.value(5)};
    }
    return true;
}

bool MemberStore::insert(Member &member, QString *error) const
{
    SqlConnection connection(path(), SqlConnection::Mode::MustExist);
    if (!connection.isOpen())
        return fail(error, connection.errorString());
    QSqlQuery q(connection.database());
    q.prepare(QStringLiteral("INSERT INTO members (Fname, Lname, mailbox, password, attempts) "
                             "VALUES (?, ?, ?, ?, ?)"));
    q.addBindValue(bound(member.fname));
    q.addBindValue(bound(member.lname));
    q.addBindValue(bound(member.mailbox));
    q.addBindValue(bound(member.password));
    q.addBindValue(bound(member.attempts));
    if (!q.exec())
        return fail(error, errorText(q.lastError()));
    member.id = q.lastInsertId().toLongLong();
    return true;
}

bool MemberStore::update(const Member &member, QString *error) const
{
    SqlConnection connection(path(), SqlConnection::Mode::MustExist);
    if (!connection.isOpen())
        return fail(error, connection.errorString());
    QSqlQuery q(connection.database());
    q.prepare(QStringLiteral("UPDATE members SET Fname = ?, Lname = ?, mailbox = ?, password = ?, "
                             "attempts = ? WHERE ID = ?"));
    q.addBindValue(bound(member.fname));
    q.addBindValue(bound(member.lname));
    q.addBindValue(bound(member.mailbox));
    q.addBindValue(bound(member.password));
    q.addBindValue(bound(member.attempts));
    q.addBindValue(member.id);
    if (!q.exec())
        return fail(error, errorText(q.lastError()));
    if (q.numRowsAffected() < 1)
        return fail(error, QStringLiteral("The member's record no longer exists."));
    return true;
}

bool MemberStore::remove(qint64 id, QString *error) const
{
    SqlConnection connection(path(), SqlConnection::Mode::MustExist);
    if (!connection.isOpen())
        return fail(error, connection.errorString());
    QSqlQuery q(connection.database());
    q.prepare(QStringLiteral("DELETE FROM members WHERE ID = ?"));
    q.addBindValue(id);
    if (!q.exec())
        return fail(error, errorText(q.lastError()));
    if (q.numRowsAffected() < 1)
        return fail(error, QStringLiteral("The member's record no longer exists."));
    return true;
}

} // namespace model
