#pragma once

#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <QVariant>

namespace model {

// One member (row of table members). The values are kept as the user typed or the store
// returned them; the store refuses what does not fit (a 16-bit number, 30 characters).
struct Member
{
    qint64 id = 0; // 0 for a member not stored yet
    QVariant fname;
    QVariant lname;
    QVariant mailbox;
    QVariant password;
    QVariant attempts;
};

// The mailbox members in memberDB.mdb.
class MemberStore
{
public:
    explicit MemberStore(const QString &appDir);

    static QString fileName() { return QStringLiteral("memberDB.mdb"); }
    QString path() const;

    // seedMemberDB: creates the database with the four sample members when its file is
    // missing. *created tells whether it did. An existing file is never changed.
    bool ensure(bool *created, QString *error) const;

    // Members in last-name order (rows with the same last name in the order stored).
    QList<Member> all(QString *error) const;
    // The stored values of one member (by id), as the store converted them.
    bool fetch(qint64 id, Member *member, QString *error) const;
    // Appends the member; sets its id.
    bool insert(Member &member, QString *error) const;
    // Writes the member's values into its row (by id).
    bool update(const Member &member, QString *error) const;
    // Deletes the member's row (by id), one statement.
    bool remove(qint64 id, QString *error) const;

private:
    static bool seed(QSqlDatabase &db, QString *error);
    QString m_appDir;
};

} // namespace model
