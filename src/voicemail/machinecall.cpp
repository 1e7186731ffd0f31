#include "machinecall.h"

#include "systemprompts.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace voicemail {

namespace {
using Kind = call::CallEvent::Kind;
const QString kSession = QStringLiteral("data2"); // where the page keeps the caller's digits
const QString kTerminator = QStringLiteral("#");

call::CallEvent event(Kind kind, const QString &text = QString())
{
    call::CallEvent e;
    e.kind = kind;
    e.text = text;
    return e;
}

// Copies a finished recording to where the voice mail keeps it, replacing what was there
// only once the copy is whole.
bool keep(const QString &from, const QString &to, QString *error)
{
    QFile source(from);
    if (!source.open(QIODevice::ReadOnly)) {
        *error = source.errorString();
        return false;
    }
    const QByteArray data = source.readAll();
    if (source.error() != QFileDevice::NoError) {
        *error = source.errorString();
        return false;
    }
    QSaveFile target(to);
    if (!target.open(QIODevice::WriteOnly) || target.write(data) != data.size()
        || !target.commit()) {
        *error = target.errorString();
        return false;
    }
    return true;
}
} // namespace

MachineCall::MachineCall(call::CallLine &line, const QString &worldDir, const QString &wavesDir,
                         MemberDirectory &members, const Clock &clock)
    : m_line(line)
    , m_worldDir(worldDir)
    , m_wavesDir(wavesDir)
    , m_machine(worldDir, members, clock)
{
}

void MachineCall::begin()
{
    follow(m_machine.start());
}

void MachineCall::report(call::CallEvent event)
{
    if (!m_over)
        m_line.report(event);
}

void MachineCall::follow(Action action)
{
    while (!m_over) {
        m_waiting = action;
        switch (action.kind) {
        case Action::Kind::Play: {
            call::CallEvent e = event(Kind::Prompt);
            e.prompt = call::CallEvent::PromptKind::VoiceFile;
            const QString name = action.path.section(u'/', 1);
            if (action.path.startsWith(QLatin1String("waves/"))) {
                e.path = QDir(m_wavesDir).filePath(name);
                const QString sentence = systemPromptSentence(name);
                e.text = sentence.isEmpty() ? name
                                            : QStringLiteral("%1 (%2)").arg(name, sentence);
            } else {
                e.path = QDir(m_worldDir).filePath(action.path);
                e.text = action.path;
                if (action.startPosition > 0)
                    e.text += QStringLiteral(" from byte %1").arg(action.startPosition);
            }
            if (!QFileInfo(e.path).isFile())
                e.text += QStringLiteral(" - no such file, nothing is heard");
            report(e);
            action = m_machine.proceed();
            break;
        }
        case Action::Kind::Collect: {
            m_keys.clear();
            call::CallEvent e = event(Kind::Wait);
            e.waitFor = call::CallEvent::WaitFor::Entry;
            e.session = kSession;
            e.maxKeys = action.maxDigits;
            e.terminator = kTerminator;
            // 0: the wait ends with the prompt before it, unless a key came meanwhile
            e.firstTimeout = e.interTimeout = action.timeoutSeconds;
            report(e);
            return;
        }
        case Action::Kind::Record: {
            call::CallEvent e = event(Kind::Record);
            // The page names no limit for the greeting: a test call stops it after a minute.
            e.maxSeconds = action.maxSeconds > 0 ? action.maxSeconds : 60;
            e.silenceSeconds = 5;
            e.terminator = kTerminator;
            e.path = QDir(m_worldDir).filePath(action.path);
            report(e);
            return;
        }
        case Action::Kind::HangUp:
            m_over = true;
            if (action.problem.isEmpty())
                m_line.hangUpInFlow();
            else
                m_line.end(action.problem);
            return;
        }
    }
}

void MachineCall::key(QChar key)
{
    if (m_over || m_waiting.kind != Action::Kind::Collect)
        return;
    m_keys += key;
    if (key == kTerminator.front() || m_keys.size() >= m_waiting.maxDigits)
        finishEntry();
}

void MachineCall::timeOut()
{
    if (m_over || m_waiting.kind != Action::Kind::Collect)
        return;
    // The page reads a time-out as no entry, whatever was keyed before it.
    if (!m_keys.isEmpty()) {
        report(event(Kind::Note, QStringLiteral("The keys %1 were keyed without the closing # "
                                                "and are dropped at the time-out.")
                                     .arg(m_keys)));
        m_keys.clear();
    }
    finishEntry();
}

void MachineCall::finishEntry()
{
    call::CallEvent e = event(Kind::Entry, m_keys);
    e.session = kSession;
    report(e);
    m_waiting = Action();
    follow(m_machine.enter(m_keys));
}

void MachineCall::recorded(const call::Recording &recording)
{
    if (m_over || m_waiting.kind != Action::Kind::Record)
        return;
    const QString target = QDir(m_worldDir).filePath(m_waiting.path);
    QString error;
    call::CallEvent e = event(Kind::Recorded);
    e.milliseconds = recording.milliseconds;
    e.endedBy = recording.endedBy;
    e.path = target;
    report(e);
    if (!keep(recording.path, target, &error)) {
        report(event(Kind::Note, QStringLiteral("The recording could not be kept as %1: %2")
                                     .arg(m_waiting.path, error)));
    }
    m_waiting = Action();
    follow(m_machine.proceed());
}

void MachineCall::hangUp()
{
    m_over = true;
}

} // namespace voicemail
