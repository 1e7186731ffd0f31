#pragma once

#include <QDate>
#include <QString>
#include <QStringList>

namespace voicemail {

// The mailbox folders under mboxes/ of the application folder, as the voice-mail page
// keeps them on the telephony server: mboxes/<mailbox>/personal.wav (greeting),
// prompt.wav (name) and msg/ with the messages.
//
// A message is the files of msg/ whose names share a stem of eight digits "mmddhhnn" and
// a dot (the month, day, hour and minute it arrived): stem + "wav" the recording, and one
// info file whose ending tells its state: "inf" new, "in_" new but heard in this call,
// "i__" old. Messages are named and ordered by their info file's name in lower case, so
// the newest message is the greatest name; the year is not part of the name.
class MailboxFolders
{
public:
    enum class Category { New, Old }; // New lists "inf" and "in_", Old lists "i__"

    explicit MailboxFolders(const QString &mboxesPath);

    QString mboxesPath() const { return m_root; }
    // Relative to mboxes/: "1234/msg/01020304.wav" and so on.
    static QString greeting(const QString &mailbox);
    static QString namePrompt(const QString &mailbox);
    static QString recording(const QString &mailbox, const QString &message);
    static QString stem(const QString &message) { return message.left(9); }

    // Creates mboxes/, the mailbox folder and its msg/ where missing. Failures are passed
    // over, as the page does: what follows then finds no messages.
    void makeFolders(const QString &mailbox) const;

    // The count at login: messages heard in an earlier call become old ("in_" to "i__");
    // returns the number of new messages that were never heard.
    int settleAndCountNew(const QString &mailbox) const;
    int count(const QString &mailbox, Category category) const;

    // The newest message, the next older or the next newer than `message`; empty when
    // there is none.
    QString newest(const QString &mailbox, Category category) const;
    QString olderThan(const QString &mailbox, Category category, const QString &message) const;
    QString newerThan(const QString &mailbox, Category category, const QString &message) const;

    // Marks a new message heard; returns its info file's new name.
    QString markHeard(const QString &mailbox, const QString &message) const;
    bool hasRecording(const QString &mailbox, const QString &message) const;
    qint64 size(const QString &relativePath) const;
    // Deletes the recording and then the info file; false when the recording could not be
    // deleted (the info file then stays).
    bool remove(const QString &mailbox, const QString &message) const;
    // Copies the message into the target mailbox as a new message, under the first free
    // minute from the message's own stamp in the year of `today`.
    void forward(const QString &mailbox, const QString &message, const QString &target,
                 const QDate &today) const;

    // The days from the message's month and day in the year of `today` (or of the year
    // before, when that date is still to come) to `today`.
    static qint64 ageInDays(const QString &message, const QDate &today);

private:
    QString path(const QString &relative) const;
    QStringList infoNames(const QString &mailbox) const;
    QStringList list(const QString &mailbox, Category category) const;
    bool stemUsed(const QString &folder, const QString &stem) const;

    QString m_root;
};

} // namespace voicemail
