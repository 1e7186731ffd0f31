#pragma once

#include "memberdirectory.h"

namespace voicemail {

// The members of memberDB.mdb in an application folder. Every value is bound; each call
// opens its own connection, so a change made meanwhile in the member form is seen.
class SqlMemberDirectory final : public MemberDirectory
{
public:
    explicit SqlMemberDirectory(const QString &appDir);

    bool hasMailbox(int mailbox, bool *found, QString *error) override;
    bool attemptsWithPassword(int mailbox, int password, std::optional<int> *attempts,
                              QString *error) override;
    bool attempts(int mailbox, std::optional<int> *attempts, QString *error) override;
    bool setAttempts(int mailbox, int attempts, QString *error) override;
    bool setPassword(int mailbox, int password, QString *error) override;

private:
    bool firstAttempts(const QString &where, const QList<int> &values,
                       std::optional<int> *attempts, QString *error) const;
    bool update(const QString &column, int value, int mailbox, QString *error) const;

    QString m_path;
};

} // namespace voicemail
