#pragma once

#include "mailboxfolders.h"

#include <QString>
#include <QStringList>

#include <span>

namespace voicemail {

class Clock;
class MemberDirectory;

// What the voice mail asks of the telephony side next.
struct Action
{
    enum class Kind { Play, Collect, Record, HangUp };
    Kind kind = Kind::HangUp;
    // Play, Record: the file, relative to the application folder ("waves/entermb.wav",
    // "mboxes/1234/msg/01020304.wav").
    QString path;
    qint64 startPosition = 0; // Play: bytes into the file (rewind and fast forward)
    int maxDigits = 0;        // Collect
    int timeoutSeconds = 0;   // Collect: before the first key and between keys; 0: none
    int maxSeconds = 0;       // Record: 0 when the page names no limit
    QString state;            // the state that asked for it
    QString problem;          // HangUp: why the call broke off; empty for a normal end
};

// The voice-mail state machine: log in to a mailbox, hear the new-message count, the main
// menu and its submenu, message playback with its keys, forwarding, greetings and the
// password change, as the generated voice-mail page serves them. The states are those of
// the page, in one table; each carries out one step and names the next. A state that only
// decides goes on at once; the others end in an action for the caller's side.
//
// Driving: start(), then after each action: proceed() when a Play or a Record is done,
// enter(keys) when a Collect is answered (the keys as typed, a closing "#" included; empty
// for a time-out). After HangUp the call is over.
class VoiceMailMachine
{
public:
    VoiceMailMachine(const QString &appDir, MemberDirectory &members, const Clock &clock);

    Action start();
    Action proceed();
    Action enter(const QString &keys);

    QString state() const { return m_state; }
    QString mailbox() const { return m_mailbox; }
    bool ended() const { return m_ended; }

    // The page's own names of its states, in table order.
    static QStringList stateNames();

    // A caller's entry as a number the members table can hold: one closing "#" dropped,
    // digits only, leading zeros dropped, at most 32767. -1 for anything else.
    static int entryNumber(const QString &keys);

    struct Step; // what one state did: an action, or none, and the state that follows

private:
    struct Row;
    static std::span<const Row> states();
    static const Row *findRow(const QString &name);

    Action run();
    Step fail(const QString &problem);
    Step read(const QStringList &prompts, const char *next);

    // The states (one member function a row of the table, in the page's order).
    Step askMailbox();
    Step collectMailbox();
    Step checkMailbox();
    Step askPassword();
    Step collectPassword();
    Step checkPassword();
    Step countNew();
    Step sayNewCount();
    Step sayNewWord();
    Step mainMenu();
    Step playMainMenu();
    Step collectMainMenu();
    Step chooseMainMenu();
    Step recordGreeting();
    Step subMenu();
    Step playSubMenu();
    Step collectSubMenu();
    Step chooseSubMenu();
    Step recordName();
    Step collectNewPassword();
    Step keepNewPassword();
    Step collectPasswordAgain();
    Step storeNewPassword();
    Step playInstructions();
    Step countOld();
    Step sayOldCount();
    Step sayOldWord();
    Step collectInstructionKey();
    Step chooseInstructionKey();
    Step findFirst();
    Step sayMessageWord();
    Step sayMessageNumber();
    Step sayAge();
    Step sayDaysAgo();
    Step sayDaysAgoWord();
    Step playMessage();
    Step collectMessageKey();
    Step chooseMessageKey();
    Step askForwardTarget();
    Step collectForwardTarget();
    Step forward();
    Step replayAfterForward();
    Step sayTimeWord();
    Step sayTime();
    Step findNext();
    Step collectAfterLast();
    Step chooseAfterLast();
    Step findPrevious();
    Step hangUp();

    Step playFrom(qint64 offset);
    MailboxFolders::Category category() const;
    QString currentRecording() const;

    QString m_appDir;
    MemberDirectory &m_members;
    const Clock &m_clock;
    MailboxFolders m_folders;

    QString m_state;
    QString m_keys;          // the caller's last entry
    QString m_mailbox;       // the mailbox logged in to, as digits
    int m_invalidKeys = 0;   // wrong menu keys since the menu was entered
    int m_count = 0;         // messages announced
    int m_number = 0;        // the number of the message played, 1 for the newest
    bool m_old = false;      // playing the old messages rather than the new
    QString m_newPassword;   // the first entry of a new password
    QString m_message;       // the current message's info file name
    qint64 m_position = 0;   // where the last play of the recording started
    QList<Action> m_queued;  // prompts of a reading still to play
    bool m_ended = false;
};

} // namespace voicemail
