#include "memberstore.h"

#include "flowstore.h"
#include "sqlconnection.h"

#include <QDir>
#include <QSqlError>
#include <QSqlQuery>

namespace model {

namespace {
QString queryError(const QSqlQuery &q)
{
    return describeStoreError(q.lastError().databaseText().isEmpty() ? q.lastError().text()
                                                                     : q.lastError().databaseText());
}

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
    if (created)
        *created = false;
    const QString wanted = QDir(m_appDir).filePath(fileName());
    if (fileExistsIgnoringCase(wanted)) {
        SqlConnection probe(path(), SqlConnection::Mode::MustExist);
        if (!probe.isOpen()) {
            if (error)
                *error = probe.errorString();
            return false;
        }
        return true;
    }
    SqlConnection connection(wanted, SqlConnection::Mode::CreateIfMissing);
    if (!connection.isOpen()) {
        if (error)
            *error = connection.errorString();
        return false;
    }
    QSqlDatabase db = connection.database();
    db.transaction();
    QSqlQuery q(db);
    auto smallInt = [](const char *c) {
        return QStringLiteral("%1 INTEGER CHECK(%1 IS NULL OR (typeof(%1) = 'integer' AND %1 "
                              "BETWEEN -32768 AND 32767))")
            .arg(QLatin1String(c));
    };
    bool ok = q.exec(QStringLiteral("CREATE TABLE members (ID INTEGER PRIMARY KEY AUTOINCREMENT, "
                                    "%1, %2, Fname TEXT COLLATE NOCASE CHECK(length(Fname) <= 30), "
                                    "Lname TEXT COLLATE NOCASE CHECK(length(Lname) <= 30), %3)")
                         .arg(smallInt("mailbox"), smallInt("password"), smallInt("attempts")));
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
    if (ok)
        ok = q.prepare(QStringLiteral("INSERT INTO members (mailbox, attempts, password, Fname, "
                                      "Lname) VALUES (?, 0, ?, ?, ?)"));
    for (const Sample &s : samples) {
        if (!ok)
            break;
        q.addBindValue(s.mailbox);
        q.addBindValue(s.password);
        q.addBindValue(QString::fromLatin1(s.first));
        q.addBindValue(QString::fromLatin1(s.last));
        ok = q.exec();
    }
    if (!ok || !db.commit()) {
        if (error)
            *error = ok ? db.lastError().text() : queryError(q);
        q.finish();
        db.rollback();
        return false;
    }
    if (created)
        *created = true;
    return true;
}

QList<Member> MemberStore::all(QString *error) const
{
    QList<Member> result;
    SqlConnection connection(path(), SqlConnection::Mode::MustExist);
    if (!connection.isOpen()) {
        if (error)
            *error = connection.errorString();
        return result;
    }
    QSqlQuery q(connection.database());
    if (!q.exec(QStringLiteral("SELECT ID, Fname, Lname, mailbox, password, attempts FROM members "
                               "ORDER BY Lname COLLATE NOCASE, rowid"))) {
        if (error)
            *error = queryError(q);
        return result;
    }
    while (q.next()) {
        result.append({q.value(0).toLongLong(), q.value(1), q.value(2), q.value(3), q.value(4),
                       q.value(5)});
    }
    return result;
}

bool MemberStore::fetch(qint64 id, Member *member, QString *error) const
{
    SqlConnection connection(path(), SqlConnection::Mode::MustExist);
    if (!connection.isOpen()) {
        if (error)
            *error = connection.errorString();
        return false;
    }
    QSqlQuery q(connection.database());
    q.prepare(QStringLiteral("SELECT ID, Fname, Lname, mailbox, password, attempts FROM members "
                             "WHERE ID = ?"));
    q.addBindValue(id);
    if (!q.exec()) {
        if (error)
            *error = queryError(q);
        return false;
    }
    if (!q.next()) {
        if (error)
            *error = QStringLiteral("The member's record no longer exists.");
        return false;
    }
    if (member) {
        *member = {q.value(0).toLongLong(), q.value(1), q.value(2), q.value(3), q.value(4),
                   q.value(5)};
    }
    return true;
}

bool MemberStore::insert(Member &member, QString *error) const
{
    SqlConnection connection(path(), SqlConnection::Mode::MustExist);
    if (!connection.isOpen()) {
        if (error)
            *error = connection.errorString();
        return false;
    }
    QSqlQuery q(connection.database());
    q.prepare(QStringLiteral("INSERT INTO members (Fname, Lname, mailbox, password, attempts) "
                             "VALUES (?, ?, ?, ?, ?)"));
    q.addBindValue(bound(member.fname));
    q.addBindValue(bound(member.lname));
    q.addBindValue(bound(member.mailbox));
    q.addBindValue(bound(member.password));
    q.addBindValue(bound(member.attempts));
    if (!q.exec()) {
        if (error)
            *error = queryError(q);
        return false;
    }
    member.id = q.lastInsertId().toLongLong();
    return true;
}

bool MemberStore::update(const Member &member, QString *error) const
{
    SqlConnection connection(path(), SqlConnection::Mode::MustExist);
    if (!connection.isOpen()) {
        if (error)
            *error = connection.errorString();
        return false;
    }
    QSqlQuery q(connection.database());
    q.prepare(QStringLiteral("UPDATE members SET Fname = ?, Lname = ?, mailbox = ?, password = ?, "
                             "attempts = ? WHERE ID = ?"));
    q.addBindValue(bound(member.fname));
    q.addBindValue(bound(member.lname));
    q.addBindValue(bound(member.mailbox));
    q.addBindValue(bound(member.password));
    q.addBindValue(bound(member.attempts));
    q.addBindValue(member.id);
    if (!q.exec()) {
        if (error)
            *error = queryError(q);
        return false;
    }
    if (q.numRowsAffected() < 1) {
        if (error)
            *error = QStringLiteral("The member's record no longer exists.");
        return false;
    }
    return true;
}

bool MemberStore::remove(qint64 id, QString *error) const
{
    SqlConnection connection(path(), SqlConnection::Mode::MustExist);
    if (!connection.isOpen()) {
        if (error)
            *error = connection.errorString();
        return false;
    }
    QSqlQuery q(connection.database());
    q.prepare(QStringLiteral("DELETE FROM members WHERE ID = ?"));
    q.addBindValue(id);
    if (!q.exec()) {
        if (error)
            *error = queryError(q);
        return false;
    }
    if (q.numRowsAffected() < 1) {
        if (error)
            *error = QStringLiteral("The member's record no longer exists.");
        return false;
    }
    return true;
}

} // namespace model
