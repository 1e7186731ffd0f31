#include "scriptedcaller.h"

#include "callengine.h"
#include "standinrecording.h"

#include <QDir>

namespace call {

ScriptedCaller::ScriptedCaller(CallEngine &engine, QList<ScriptAction> script,
                               const QString &recordingDir)
    : m_engine(engine)
    , m_script(std::move(script))
    , m_recordingDir(recordingDir)
{
}

void ScriptedCaller::run()
{
    m_engine.start();
    qsizetype next = 0;
    while (!m_engine.isOver()) {
        if (next >= m_script.size()) {
            m_engine.stop(EndReason::ScriptEnded,
                          QStringLiteral("The script has no more actions: the caller hangs up."));
            break;
        }
        const ScriptAction &action = m_script.at(next++);
        switch (action.kind) {
        case ScriptAction::Kind::HangUp:
            m_engine.hangUp();
            break;
        case ScriptAction::Kind::TimeOut:
            if (m_engine.isRecording())
                finishRecording(0, Recording::EndedBy::Silence);
            else
                m_engine.timeOut();
            break;
        case ScriptAction::Kind::Keys:
            pressKeys(action);
            break;
        case ScriptAction::Kind::Speak:
            speak(action);
            break;
        }
    }
    for (; next < m_script.size(); ++next)
        m_unused << m_script.at(next).text;
}

void ScriptedCaller::pressKeys(const ScriptAction &action)
{
    const int wait = m_engine.waitCount();
    for (qsizetype i = 0; i < action.keys.size(); ++i) {
        if (m_engine.isOver())
            return;
        if (m_engine.waitCount() != wait) {
            m_engine.note(QStringLiteral("Keys %1 of \"%2\" were not used: the wait they "
                                         "answered is over.")
                              .arg(action.keys.mid(i), action.text));
            return;
        }
        const QChar key = action.keys.at(i);
        const bool recording = m_engine.isRecording();
        const QString terminator = m_engine.pendingWait().terminator;
        m_engine.key(key);
        if (recording && !terminator.isEmpty() && key == terminator.front())
            finishRecording(0, Recording::EndedBy::Terminator);
    }
}

void ScriptedCaller::speak(const ScriptAction &action)
{
    if (!m_engine.isRecording()) {
        m_engine.note(QStringLiteral("The caller speaks (%1), but the call is not recording.")
                          .arg(action.text));
        return;
    }
    const CallEvent wait = m_engine.pendingWait();
    const qint64 limit = qint64(wait.maxSeconds) * 1000;
    const qint64 spoken = qint64(action.seconds) * 1000;
    if (limit > 0 && spoken >= limit) {
        if (!action.keys.isEmpty()) {
            m_engine.note(QStringLiteral("Keys %1 of \"%2\" were not used: the recording "
                                         "stopped at its limit.")
                              .arg(action.keys, action.text));
        }
        finishRecording(limit, Recording::EndedBy::MaxLength);
        return;
    }
    for (qsizetype i = 0; i < action.keys.size(); ++i) {
        const QChar key = action.keys.at(i);
        m_engine.key(key);
        if (!wait.terminator.isEmpty() && key == wait.terminator.front()) {
            if (i + 1 < action.keys.size()) {
                m_engine.note(QStringLiteral("Keys %1 of \"%2\" were not used: the recording "
                                             "was over.")
                                  .arg(action.keys.mid(i + 1), action.text));
            }
            finishRecording(spoken, Recording::EndedBy::Terminator);
            return;
        }
    }
    finishRecording(spoken, Recording::EndedBy::Silence);
}

void ScriptedCaller::finishRecording(qint64 milliseconds, Recording::EndedBy endedBy)
{
    const QString path =
        QDir(m_recordingDir).filePath(QStringLiteral("recording%1.wav").arg(++m_recordings));
    QString error;
    if (!writeStandInRecording(path, milliseconds, &error))
        m_engine.note(QStringLiteral("The stand-in recording cannot be written: %1").arg(error));
    m_engine.recorded({path, milliseconds, endedBy});
}

} // namespace call
