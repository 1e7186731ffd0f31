#pragma once

#include <QString>

#include <optional>

namespace voicemail {

// The voice mail's view of the members: the rows of a mailbox number. Nothing stops two
// rows from sharing a number; the first stored row answers and a change reaches every row
// of the number. Each call returns false with *error set when the store cannot be used.
class MemberDirectory
{
public:
    virtual ~MemberDirectory() = default;

    virtual bool hasMailbox(int mailbox, bool *found, QString *error) = 0;
    // The failed attempts of the first row with this mailbox and password (an empty
    // count reads 0); nullopt when the password is wrong.
    virtual bool attemptsWithPassword(int mailbox, int password, std::optional<int> *attempts,
                                      QString *error) = 0;
    // The failed attempts of the first row of the mailbox; nullopt when it has no row.
    virtual bool attempts(int mailbox, std::optional<int> *attempts, QString *error) = 0;
    virtual bool setAttempts(int mailbox, int attempts, QString *error) = 0;
    virtual bool setPassword(int mailbox, int password, QString *error) = 0;
};

} // namespace voicemail
