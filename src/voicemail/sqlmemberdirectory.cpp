#include "sqlmemberdirectory.h"

#include "model/memberstore.h"
#include "model/sqlconnection.h"

#include <QSqlError>
#include <QSqlQuery>

namespace voicemail {

namespace {
QString failure(const QSqlQuery &q)
{
    return QStringLiteral("The member database could not be used: %1").arg(q.lastError().text());
}
} // namespace

SqlMemberDirectory::SqlMemberDirectory(const QString &appDir)
    : m_path(model::MemberStore(appDir).path())
{
}

bool SqlMemberDirectory::hasMailbox(int mailbox, bool *found, QString *error)
{
    std::optional<int> attempts;
    if (!this->attempts(mailbox, &attempts, error))
        return false;
    *found = attempts.has_value();
    return true;
}

bool SqlMemberDirectory::attemptsWithPassword(int mailbox, int password,
                                              std::optional<int> *attempts, QString *error)
{
    return firstAttempts(QStringLiteral("mailbox = ? AND password = ?"), {mailbox, password},
                         attempts, error);
}

bool SqlMemberDirectory::attempts(int mailbox, std::optional<int> *attempts, QString *error)
{
    return firstAttempts(QStringLiteral("mailbox = ?"), {mailbox}, attempts, error);
}

bool SqlMemberDirectory::setAttempts(int mailbox, int attempts, QString *error)
{
    return update(QStringLiteral("attempts"), attempts, mailbox, error);
}

bool SqlMemberDirectory::setPassword(int mailbox, int password, QString *error)
{
    return update(QStringLiteral("password"), password, mailbox, error);
}

bool SqlMemberDirectory::firstAttempts(const QString &where, const QList<int> &values,
                                       std::optional<int> *attempts, QString *error) const
{
    model::SqlConnection connection(m_path, model::SqlConnection::Mode::MustExist);
    if (!connection.isOpen()) {
        *error = connection.errorString();
        return false;
    }
    QSqlQuery q(connection.database());
    q.prepare(QStringLiteral("SELECT attempts FROM members WHERE %1 ORDER BY ID LIMIT 1")
                  .arg(where));
    for (int v : values)
        q.addBindValue(v);
    if (!q.exec()) {
        *error = failure(q);
        return false;
    }
    if (q.next())
        *attempts = q.value(0).toInt(); // an empty count reads 0
    else
        attempts->reset();
    // A read that stopped on a failure is not "no such member".
    if (q.lastError().isValid()) {
        *error = failure(q);
        return false;
    }
    return true;
}

bool SqlMemberDirectory::update(const QString &column, int value, int mailbox,
                                QString *error) const
{
    model::SqlConnection connection(m_path, model::SqlConnection::Mode::MustExist);
    if (!connection.isOpen()) {
        *error = connection.errorString();
        return false;
    }
    QSqlQuery q(connection.database());
    // The column comes from this file only, never from the caller.
    q.prepare(QStringLiteral("UPDATE members SET %1 = ? WHERE mailbox = ?").arg(column));
    q.addBindValue(value);
    q.addBindValue(mailbox);
    if (!q.exec()) {
        *error = failure(q);
        return false;
    }
    return true;
}

} // namespace voicemail
