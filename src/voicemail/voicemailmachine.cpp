#include "voicemailmachine.h"

#include "clock.h"
#include "memberdirectory.h"
#include "spokenreaders.h"

#include <QDir>
#include <QRegularExpression>

namespace voicemail {

struct VoiceMailMachine::Step
{
    Action action;
    QString next;
    bool goOn = false; // no action: the next state runs at once
};

struct VoiceMailMachine::Row
{
    const char *name;
    Step (VoiceMailMachine::*run)();
};

namespace {
using Step = VoiceMailMachine::Step;


// The page's states only decide between actions; a thousand decisions in a row would be a
// fault of this table, never a caller's doing.
constexpr int kMaxDecisions = 1000;
constexpr int kMaxAttempts = 32767; // the members table holds 16-bit numbers
constexpr qint64 kSkip = 65536;     // bytes moved by rewind and fast forward
const QString kWaves = QStringLiteral("waves/");
const QString kMboxes = QStringLiteral("mboxes/");

Step play(const QString &systemPrompt, const char *next)
{
    Action a;
    a.kind = Action::Kind::Play;
    a.path = kWaves + systemPrompt;
    return {a, QLatin1String(next)};
}

Step playMailboxFile(const QString &relativeToMboxes, const char *next)
{
    Action a;
    a.kind = Action::Kind::Play;
    a.path = kMboxes + relativeToMboxes;
    return {a, QLatin1String(next)};
}

Step collect(int maxDigits, int timeoutSeconds, const char *next)
{
    Action a;
    a.kind = Action::Kind::Collect;
    a.maxDigits = maxDigits;
    a.timeoutSeconds = timeoutSeconds;
    return {a, QLatin1String(next)};
}

Step record(const QString &relativeToMboxes, int maxSeconds, const char *next)
{
    Action a;
    a.kind = Action::Kind::Record;
    a.path = kMboxes + relativeToMboxes;
    a.maxSeconds = maxSeconds;
    return {a, QLatin1String(next)};
}

Step go(const char *next)
{
    return {Action(), QLatin1String(next), true};
}

} // namespace

VoiceMailMachine::VoiceMailMachine(const QString &appDir, MemberDirectory &members,
                                   const Clock &clock)
    : m_appDir(appDir)
    , m_members(members)
    , m_clock(clock)
    , m_folders(QDir(appDir).filePath(QStringLiteral("mboxes")))
{
}

// The states as the voice-mail page names them, in its order.
std::span<const VoiceMailMachine::Row> VoiceMailMachine::states()
{
    static const Row rows[] = {
        // login
        {"MB1", &VoiceMailMachine::askMailbox},
        {"MB2", &VoiceMailMachine::collectMailbox},
        {"MB3", &VoiceMailMachine::checkMailbox},
        {"PW1", &VoiceMailMachine::askPassword},
        {"PW2", &VoiceMailMachine::collectPassword},
        {"PW3", &VoiceMailMachine::checkPassword},
        // new-message count, main menu and submenu
        {"PLAY_#OF_NEW_MSG1", &VoiceMailMachine::countNew},
        {"PLAY_#OF_NEW_MSG2", &VoiceMailMachine::sayNewCount},
        {"PLAY_#OF_NEW_MSG3", &VoiceMailMachine::sayNewWord},
        {"MENU0", &VoiceMailMachine::mainMenu},
        {"MENU1", &VoiceMailMachine::playMainMenu},
        {"MENU2", &VoiceMailMachine::collectMainMenu},
        {"MENU3", &VoiceMailMachine::chooseMainMenu},
        {"RecordPersonal", &VoiceMailMachine::recordGreeting},
        {"SUBMENU0", &VoiceMailMachine::subMenu},
        {"SUBMENU1", &VoiceMailMachine::playSubMenu},
        {"SUBMENU2", &VoiceMailMachine::collectSubMenu},
        {"SUBMENU3", &VoiceMailMachine::chooseSubMenu},
        {"RecordName", &VoiceMailMachine::recordName},
        // password change
        {"NEWPW0", &VoiceMailMachine::collectNewPassword},
        {"NEWPW1", &VoiceMailMachine::keepNewPassword},
        {"NEWPW2", &VoiceMailMachine::collectPasswordAgain},
        {"NEWPW3", &VoiceMailMachine::storeNewPassword},
        // message playback
        {"PLAY_MESSAGE_INSTRUCTIONS", &VoiceMailMachine::playInstructions},
        {"PLAY_#OF_OLD_MSG1", &VoiceMailMachine::countOld},
        {"PLAY_#OF_OLD_MSG2", &VoiceMailMachine::sayOldCount},
        {"PLAY_#OF_OLD_MSG3", &VoiceMailMachine::sayOldWord},
        {"GET_INSTRUCT_DIGITS", &VoiceMailMachine::collectInstructionKey},
        {"PROCESS_INSTRUCT_DIGITS", &VoiceMailMachine::chooseInstructionKey},
        {"FIND_FIRST_MSG", &VoiceMailMachine::findFirst},
        {"PLAY_MSG_COUNT1", &VoiceMailMachine::sayMessageWord},
        {"PLAY_MSG_COUNT2", &VoiceMailMachine::sayMessageNumber},
        {"PLAY_DATE1", &VoiceMailMachine::sayAge},
        {"PLAY_DATE2", &VoiceMailMachine::sayDaysAgo},
        {"PLAY_DATE3", &VoiceMailMachine::sayDaysAgoWord},
        {"PLAY_MSG", &VoiceMailMachine::playMessage},
        {"GET_MSG_DIGITS", &VoiceMailMachine::collectMessageKey},
        {"PROCESS_MSG_DIGITS", &VoiceMailMachine::chooseMessageKey},
        {"SEND_MSG0", &VoiceMailMachine::askForwardTarget},
        {"SEND_MSG1", &VoiceMailMachine::collectForwardTarget},
        {"SEND_MSG2", &VoiceMailMachine::forward},
        {"SEND_MSG3", &VoiceMailMachine::replayAfterForward},
        {"PLAY_TIME0", &VoiceMailMachine::sayTimeWord},
        {"PLAY_TIME1", &VoiceMailMachine::sayTime},
        {"FIND_NEXT_MSG", &VoiceMailMachine::findNext},
        {"GET_NO_MORE_MSG_DIGITS", &VoiceMailMachine::collectAfterLast},
        {"PROCESS_NO_MORE_MSG_DIGITS", &VoiceMailMachine::chooseAfterLast},
        {"FIND_PREV_MSG", &VoiceMailMachine::findPrevious},
        {"EXIT", &VoiceMailMachine::hangUp},
    };
    return rows;
}

const VoiceMailMachine::Row *VoiceMailMachine::findRow(const QString &name)
{
    for (const Row &row : states()) {
        if (name.compare(QLatin1String(row.name), Qt::CaseInsensitive) == 0)
            return &row;
    }
    return nullptr;
}

QStringList VoiceMailMachine::stateNames()
{
    QStringList names;
    for (const Row &row : states())
        names << QLatin1String(row.name);
    return names;
}

int VoiceMailMachine::entryNumber(const QString &keys)
{
    static const QRegularExpression digits(QStringLiteral("^[0-9]+$"));
    QString text = keys;
    if (text.endsWith(u'#'))
        text.chop(1);
    if (!digits.match(text).hasMatch())
        return -1;
    while (text.size() > 1 && text.startsWith(u'0'))
        text.remove(0, 1);
    if (text.size() > 5)
        return -1;
    const int n = text.toInt();
    return n <= 32767 ? n : -1;
}

Action VoiceMailMachine::start()
{
    m_state = QStringLiteral("MB1");
    m_keys.clear();
    m_mailbox.clear();
    m_invalidKeys = m_count = m_number = 0;
    m_old = false;
    m_newPassword.clear();
    m_message.clear();
    m_position = 0;
    m_queued.clear();
    m_ended = false;
    return run();
}

Action VoiceMailMachine::proceed()
{
    m_keys.clear(); // an unanswered wait reads as an empty entry
    return run();
}

Action VoiceMailMachine::enter(const QString &keys)
{
    m_keys = keys;
    return run();
}

Action VoiceMailMachine::run()
{
    for (int decisions = 0; decisions < kMaxDecisions; ++decisions) {
        if (m_ended) {
            Action a;
            a.state = m_state;
            return a;
        }
        if (!m_queued.isEmpty()) {
            m_position = 0;
            return m_queued.takeFirst();
        }
        const Row *row = findRow(m_state);
        // A state without a row ends the call, as on the page.
        const Step step = row ? (this->*row->run)() : hangUp();
        const QString current = m_state;
        if (!step.next.isEmpty())
            m_state = step.next;
        if (step.goOn)
            continue;
        Action action = step.action;
        action.state = current;
        if (action.kind == Action::Kind::Play)
            m_position = action.startPosition;
        if (action.kind == Action::Kind::HangUp)
            m_ended = true;
        if (action.kind == Action::Kind::Record) {
            // The telephony side thanks the caller once the recording is kept.
            Action thanks = play(QStringLiteral("msgrecorded.wav"), "").action;
            thanks.state = current;
            m_queued << thanks;
        }
        return action;
    }
    return fail(QStringLiteral("The voice mail went round its states without a step for the "
                               "caller; the call was ended."))
        .action;
}

VoiceMailMachine::Step VoiceMailMachine::fail(const QString &problem)
{
    Step step = hangUp();
    step.action.problem = problem;
    step.action.state = m_state;
    m_ended = true;
    return step;
}

VoiceMailMachine::Step VoiceMailMachine::read(const QStringList &prompts, const char *next)
{
    // A reading plays its prompts one after the other, all in the state that reads.
    for (const QString &prompt : prompts) {
        Action a = play(prompt, "").action;
        a.state = m_state;
        m_queued << a;
    }
    return go(next);
}

MailboxFolders::Category VoiceMailMachine::category() const
{
    return m_old ? MailboxFolders::Category::Old : MailboxFolders::Category::New;
}

QString VoiceMailMachine::currentRecording() const
{
    return MailboxFolders::recording(m_mailbox, m_message);
}

// ---- login ----

VoiceMailMachine::Step VoiceMailMachine::askMailbox()
{
    return play(QStringLiteral("entermb.wav"), "MB2");
}

VoiceMailMachine::Step VoiceMailMachine::collectMailbox()
{
    return collect(9, 3, "MB3");
}

VoiceMailMachine::Step VoiceMailMachine::checkMailbox()
{
    const int mailbox = entryNumber(m_keys);
    bool found = false;
    QString error;
    if (mailbox >= 0 && !m_members.hasMailbox(mailbox, &found, &error))
        return fail(error);
    if (!found)
        return play(QStringLiteral("invalid.wav"), "MB1");
    m_mailbox = QString::number(mailbox);
    return go("PW1");
}

VoiceMailMachine::Step VoiceMailMachine::askPassword()
{
    return play(QStringLiteral("enterpw.wav"), "PW2");
}

VoiceMailMachine::Step VoiceMailMachine::collectPassword()
{
    return collect(15, 3, "PW3");
}

VoiceMailMachine::Step VoiceMailMachine::checkPassword()
{
    const int mailbox = entryNumber(m_mailbox);
    if (mailbox < 0)
        return go("MB1");
    const int password = entryNumber(m_keys);
    QString error;
    std::optional<int> attempts;
    if (password >= 0 && !m_members.attemptsWithPassword(mailbox, password, &attempts, &error))
        return fail(error);
    if (attempts) {
        // Three failed attempts lock the mailbox, whatever password follows.
        return go(*attempts >= 3 ? "EXIT" : "PLAY_#OF_NEW_MSG1");
    }
    if (!m_members.attempts(mailbox, &attempts, &error))
        return fail(error);
    // A member deleted during the call counts nothing and simply starts again.
    if (attempts && *attempts < kMaxAttempts) {
        *attempts += 1;
        if (!m_members.setAttempts(mailbox, *attempts, &error))
            return fail(error);
    }
    return play(QStringLiteral("invalid.wav"), attempts && *attempts >= 3 ? "EXIT" : "MB1");
}

// ---- new-message count and menus ----

VoiceMailMachine::Step VoiceMailMachine::countNew()
{
    m_folders.makeFolders(m_mailbox);
    m_count = m_folders.settleAndCountNew(m_mailbox);
    if (m_count == 0)
        return play(QStringLiteral("nonewmsg.wav"), "MENU0");
    return play(QStringLiteral("youhave.wav"), "PLAY_#OF_NEW_MSG2");
}

VoiceMailMachine::Step VoiceMailMachine::sayNewCount()
{
    return read(numberPrompts(m_count), "PLAY_#OF_NEW_MSG3");
}

VoiceMailMachine::Step VoiceMailMachine::sayNewWord()
{
    return play(m_count == 1 ? QStringLiteral("newmsg.wav") : QStringLiteral("newmsgs.wav"),
                "MENU0");
}

VoiceMailMachine::Step VoiceMailMachine::mainMenu()
{
    // Keys typed ahead during the last prompt are no answer to the menu.
    m_invalidKeys = 0;
    m_keys.clear();
    return go("MENU1");
}

VoiceMailMachine::Step VoiceMailMachine::playMainMenu()
{
    return play(QStringLiteral("remmenu.wav"), "MENU2");
}

VoiceMailMachine::Step VoiceMailMachine::collectMainMenu()
{
    return collect(1, 3, "MENU3");
}

VoiceMailMachine::Step VoiceMailMachine::chooseMainMenu()
{
    if (m_keys == QLatin1String("1") || m_keys == QLatin1String("2")) {
        m_old = m_keys == QLatin1String("2");
        return go("PLAY_MESSAGE_INSTRUCTIONS");
    }
    if (m_keys == QLatin1String("3"))
        return playMailboxFile(MailboxFolders::greeting(m_mailbox), "MENU0");
    if (m_keys == QLatin1String("4"))
        return play(QStringLiteral("recpersn.wav"), "RecordPersonal");
    if (m_keys == QLatin1String("5"))
        return go("SUBMENU0");
    if (m_keys == QLatin1String("#"))
        return go("EXIT");
    if (m_keys == QLatin1String("*"))
        return go("MB1");
    // The third wrong key since the menu was entered ends the call.
    ++m_invalidKeys;
    return play(QStringLiteral("invalid.wav"), m_invalidKeys == 3 ? "EXIT" : "MENU1");
}

VoiceMailMachine::Step VoiceMailMachine::recordGreeting()
{
    return record(MailboxFolders::greeting(m_mailbox), 0, "MENU0");
}

VoiceMailMachine::Step VoiceMailMachine::subMenu()
{
    m_invalidKeys = 0;
    m_keys.clear();
    return go("SUBMENU1");
}

VoiceMailMachine::Step VoiceMailMachine::playSubMenu()
{
    return play(QStringLiteral("remsubmn.wav"), "SUBMENU2");
}

VoiceMailMachine::Step VoiceMailMachine::collectSubMenu()
{
    return collect(1, 3, "SUBMENU3");
}

VoiceMailMachine::Step VoiceMailMachine::chooseSubMenu()
{
    if (m_keys == QLatin1String("1"))
        return playMailboxFile(MailboxFolders::namePrompt(m_mailbox), "MENU0");
    if (m_keys == QLatin1String("2"))
        return play(QStringLiteral("recprmt.wav"), "RecordName");
    if (m_keys == QLatin1String("5"))
        return play(QStringLiteral("enternpw.wav"), "NEWPW0");
    // Keys 6 and 7 lead to states the page never wrote: the call ends there.
    if (m_keys == QLatin1String("6"))
        return go("NEWPGR0");
    if (m_keys == QLatin1String("7"))
        return go("NEWMNN0");
    if (m_keys == QLatin1String("#"))
        return go("MENU0");
    // The second wrong key goes back to the main menu.
    ++m_invalidKeys;
    return play(QStringLiteral("invalid.wav"), m_invalidKeys == 2 ? "MENU0" : "SUBMENU1");
}

VoiceMailMachine::Step VoiceMailMachine::recordName()
{
    return record(MailboxFolders::namePrompt(m_mailbox), 30, "MENU0");
}

// ---- password change ----

VoiceMailMachine::Step VoiceMailMachine::collectNewPassword()
{
    return collect(15, 3, "NEWPW1");
}

VoiceMailMachine::Step VoiceMailMachine::keepNewPassword()
{
    const int password = entryNumber(m_keys);
    if (password < 0)
        return play(QStringLiteral("invalid.wav"), "MENU0");
    m_newPassword = QString::number(password);
    return play(QStringLiteral("entrnpwa.wav"), "NEWPW2");
}

VoiceMailMachine::Step VoiceMailMachine::collectPasswordAgain()
{
    return collect(15, 3, "NEWPW3");
}

VoiceMailMachine::Step VoiceMailMachine::storeNewPassword()
{
    const int password = entryNumber(m_keys);
    const int mailbox = entryNumber(m_mailbox);
    const bool same = password >= 0 && QString::number(password) == m_newPassword;
    m_newPassword.clear();
    bool found = false;
    QString error;
    if (same && mailbox >= 0 && !m_members.hasMailbox(mailbox, &found, &error))
        return fail(error);
    // A member deleted during the call has no password left to change.
    if (!found)
        return play(QStringLiteral("invalid.wav"), "MENU0");
    if (!m_members.setPassword(mailbox, password, &error))
        return fail(error);
    return play(QStringLiteral("pwsaved.wav"), "MENU0");
}

// ---- message playback ----

VoiceMailMachine::Step VoiceMailMachine::playInstructions()
{
    return play(QStringLiteral("pbinstru.wav"),
                m_old ? "PLAY_#OF_OLD_MSG1" : "GET_INSTRUCT_DIGITS");
}

VoiceMailMachine::Step VoiceMailMachine::countOld()
{
    m_count = m_folders.count(m_mailbox, MailboxFolders::Category::Old);
    if (m_count == 0)
        return play(QStringLiteral("nomsg.wav"), "MENU0");
    return play(QStringLiteral("youhave.wav"), "PLAY_#OF_OLD_MSG2");
}

VoiceMailMachine::Step VoiceMailMachine::sayOldCount()
{
    return read(numberPrompts(m_count), "PLAY_#OF_OLD_MSG3");
}

VoiceMailMachine::Step VoiceMailMachine::sayOldWord()
{
    return play(m_count == 1 ? QStringLiteral("message.wav") : QStringLiteral("messages.wav"),
                "GET_INSTRUCT_DIGITS");
}

VoiceMailMachine::Step VoiceMailMachine::collectInstructionKey()
{
    return collect(1, 0, "PROCESS_INSTRUCT_DIGITS");
}

VoiceMailMachine::Step VoiceMailMachine::chooseInstructionKey()
{
    if (m_keys == QLatin1String("*"))
        return play(QStringLiteral("pbmenu.wav"), "FIND_FIRST_MSG");
    return go("FIND_FIRST_MSG");
}

VoiceMailMachine::Step VoiceMailMachine::findFirst()
{
    m_message = m_folders.newest(m_mailbox, category());
    if (m_message.isEmpty())
        return play(QStringLiteral("nomsg.wav"), "MENU0");
    m_number = 1;
    return go("PLAY_MSG_COUNT1");
}

VoiceMailMachine::Step VoiceMailMachine::sayMessageWord()
{
    return play(QStringLiteral("message.wav"), "PLAY_MSG_COUNT2");
}

VoiceMailMachine::Step VoiceMailMachine::sayMessageNumber()
{
    return read(numberPrompts(m_number), "PLAY_DATE1");
}

VoiceMailMachine::Step VoiceMailMachine::sayAge()
{
    const qint64 age = MailboxFolders::ageInDays(m_message, m_clock.now().date());
    if (age == 0)
        return play(QStringLiteral("today.wav"), "PLAY_MSG");
    if (age == 1)
        return play(QStringLiteral("yestrday.wav"), "PLAY_MSG");
    return play(QStringLiteral("received.wav"), "PLAY_DATE2");
}

VoiceMailMachine::Step VoiceMailMachine::sayDaysAgo()
{
    const qint64 age = MailboxFolders::ageInDays(m_message, m_clock.now().date());
    return read(numberPrompts(age), "PLAY_DATE3");
}

VoiceMailMachine::Step VoiceMailMachine::sayDaysAgoWord()
{
    return play(QStringLiteral("daysago.wav"), "PLAY_MSG");
}

VoiceMailMachine::Step VoiceMailMachine::playMessage()
{
    if (!m_message.endsWith(u'_'))
        m_message = m_folders.markHeard(m_mailbox, m_message);
    // A message without its recording says when it came instead.
    if (!m_folders.hasRecording(m_mailbox, m_message))
        return go("PLAY_TIME0");
    return playMailboxFile(currentRecording(), "GET_MSG_DIGITS");
}

VoiceMailMachine::Step VoiceMailMachine::collectMessageKey()
{
    return collect(1, 0, "PROCESS_MSG_DIGITS");
}

VoiceMailMachine::Step VoiceMailMachine::playFrom(qint64 offset)
{
    // Rewind and fast forward start the recording again, moved from where its last
    // play started and kept within the file.
    const qint64 size = m_folders.size(currentRecording());
    Step step = playMailboxFile(currentRecording(), "GET_MSG_DIGITS");
    step.action.startPosition = std::clamp(m_position + offset, qint64(0), size);
    return step;
}

VoiceMailMachine::Step VoiceMailMachine::chooseMessageKey()
{
    const QString &k = m_keys;
    if (k == QLatin1String("1"))
        return playFrom(-kSkip);
    if (k == QLatin1String("3"))
        return playFrom(kSkip);
    if (k == QLatin1String("4"))
        return go("FIND_PREV_MSG");
    if (k == QLatin1String("7")) {
        if (!m_folders.hasRecording(m_mailbox, m_message))
            return go("FIND_NEXT_MSG");
        if (!m_folders.remove(m_mailbox, m_message))
            return play(QStringLiteral("inuse.wav"), "FIND_NEXT_MSG");
        // The next message found takes the deleted one's number.
        --m_number;
        return play(QStringLiteral("msgdel.wav"), "FIND_NEXT_MSG");
    }
    if (k == QLatin1String("8"))
        return go("PLAY_TIME0");
    if (k == QLatin1String("9"))
        return go("SEND_MSG0");
    if (k == QLatin1String("*"))
        return play(QStringLiteral("pbmenu.wav"), "GET_MSG_DIGITS");
    if (k == QLatin1String("#"))
        return go("MENU0");
    return go("FIND_NEXT_MSG"); // 6 and every other key: the next message
}

VoiceMailMachine::Step VoiceMailMachine::askForwardTarget()
{
    return play(QStringLiteral("entrsnmb.wav"), "SEND_MSG1");
}

VoiceMailMachine::Step VoiceMailMachine::collectForwardTarget()
{
    return collect(9, 3, "SEND_MSG2");
}

VoiceMailMachine::Step VoiceMailMachine::forward()
{
    // Only a member's mailbox takes a message, the caller's own included.
    const int target = entryNumber(m_keys);
    bool found = false;
    QString error;
    if (target >= 0 && !m_members.hasMailbox(target, &found, &error))
        return fail(error);
    if (!found)
        return play(QStringLiteral("invalid.wav"), "SEND_MSG3");
    m_folders.forward(m_mailbox, m_message, QString::number(target), m_clock.now().date());
    return play(QStringLiteral("msgsent.wav"), "SEND_MSG3");
}

VoiceMailMachine::Step VoiceMailMachine::replayAfterForward()
{
    return playMailboxFile(currentRecording(), "GET_MSG_DIGITS");
}

VoiceMailMachine::Step VoiceMailMachine::sayTimeWord()
{
    return play(QStringLiteral("timemsg.wav"), "PLAY_TIME1");
}

VoiceMailMachine::Step VoiceMailMachine::sayTime()
{
    return read(timePrompts(m_message.mid(4, 4)), "FIND_NEXT_MSG");
}

VoiceMailMachine::Step VoiceMailMachine::findNext()
{
    const QString older = m_folders.olderThan(m_mailbox, category(), m_message);
    if (older.isEmpty())
        return play(QStringLiteral("nomsg.wav"), "GET_NO_MORE_MSG_DIGITS");
    m_message = older;
    ++m_number;
    return go("PLAY_MSG_COUNT1");
}

VoiceMailMachine::Step VoiceMailMachine::collectAfterLast()
{
    return collect(1, 2, "PROCESS_NO_MORE_MSG_DIGITS");
}

VoiceMailMachine::Step VoiceMailMachine::chooseAfterLast()
{
    // 4 plays the last message again; anything else goes back to the menu.
    return go(m_keys == QLatin1String("4") ? "PLAY_MSG_COUNT1" : "MENU0");
}

VoiceMailMachine::Step VoiceMailMachine::findPrevious()
{
    const QString newer = m_folders.newerThan(m_mailbox, category(), m_message);
    if (newer.isEmpty()) {
        m_message.clear();
        return play(QStringLiteral("nomsg.wav"), "MENU0");
    }
    m_message = newer;
    --m_number;
    return go("PLAY_MSG_COUNT1");
}

VoiceMailMachine::Step VoiceMailMachine::hangUp()
{
    return {Action(), QStringLiteral("EXIT")};
}

} // namespace voicemail
