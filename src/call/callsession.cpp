#include "callsession.h"

#include "callengine.h"
#include "clock.h"
#include "nodevaluessource.h"
#include "recorder.h"
#include "standinrecorder.h"

#include <QDir>
#include <QTemporaryDir>

namespace call {

CallSession::CallSession(model::FlowTree &tree, Clock &clock, Recorder *microphone,
                         QObject *parent)
    : QObject(parent)
    , m_tree(&tree)
    , m_clock(clock)
    , m_microphone(microphone)
    , m_standIn(std::make_unique<StandInRecorder>(clock))
{
    m_tree->addObserver(this);
    connect(&m_clock, &Clock::alarm, this,
            [this] { runOut(Recording::EndedBy::MaxLength); });
    for (Recorder *r : {static_cast<Recorder *>(m_standIn.get()), m_microphone}) {
        if (r) {
            connect(r, &Recorder::silenceHeard, this, [this, r] {
                if (recording() && m_recorder == r)
                    finishRecording(Recording::EndedBy::Silence);
            });
        }
    }
}

CallSession::~CallSession()
{
    if (m_tree)
        m_tree->removeObserver(this);
    if (recording()) {
        QString ignored;
        m_recorder->stop(&ignored);
    }
}

bool CallSession::start(std::unique_ptr<NodeValuesSource> values, Flavour flavour,
                        const QString &wavesDir, QString *error)
{
    if (isRunning()) {
        *error = QStringLiteral("A call is running already.");
        return false;
    }
    if (!m_tree) {
        *error = QStringLiteral("There is no flow to call.");
        return false;
    }
    auto recordings = std::make_unique<QTemporaryDir>();
    if (!recordings->isValid()) {
        *error = QStringLiteral("There is no temporary folder for the recordings: %1")
                     .arg(recordings->errorString());
        return false;
    }
    m_engine.reset();
    m_recordings = std::move(recordings);
    m_values = std::move(values);
    m_recordingCount = 0;
    m_entryWait = -1;
    m_engine = std::make_unique<CallEngine>(*m_tree, *m_values, flavour, wavesDir,
                                            [this](const CallEvent &e) { onEvent(e); });
    m_engine->setVoiceMail(m_voiceMail);
    m_engine->start();
    return true;
}

bool CallSession::isRunning() const
{
    return m_engine && !m_engine->isOver();
}

const model::FlowNode *CallSession::currentNode() const
{
    return isRunning() ? m_engine->currentNode() : nullptr;
}

bool CallSession::recording() const
{
    return isRunning() && m_engine->isRecording() && m_recorder;
}

void CallSession::onEvent(const CallEvent &e)
{
    Q_EMIT event(e);
    switch (e.kind) {
    case CallEvent::Kind::Wait:
        // The voice mail's playback keys wait 0 seconds on the telephony server, which
        // only catches keys typed during the prompt: here they wait for a key or No Input.
        if (e.firstTimeout > 0)
            m_clock.startAlarm(qint64(e.firstTimeout) * 1000);
        else
            m_clock.stopAlarm();
        m_entryWait = e.waitFor == CallEvent::WaitFor::Entry ? m_engine->waitCount() : -1;
        break;
    case CallEvent::Kind::Record:
        startRecording(e);
        break;
    case CallEvent::Kind::End:
        m_clock.stopAlarm();
        if (m_recorder) {
            QString ignored;
            m_recorder->stop(&ignored);
            m_recorder = nullptr;
        }
        break;
    default:
        break;
    }
}

void CallSession::key(QChar key)
{
    if (!isRunning())
        return;
    if (recording()) {
        const QString terminator = m_engine->pendingWait().terminator;
        m_engine->key(key);
        if (!terminator.isEmpty() && key == terminator.front())
            finishRecording(Recording::EndedBy::Terminator);
        return;
    }
    m_engine->key(key);
    // Still keying the same entry: the next key has the time between keys.
    const CallEngine::State state = isRunning() ? m_engine->state() : CallEngine::State::Ended;
    if ((state == CallEngine::State::WaitingForEntry || state == CallEngine::State::InVoiceMail)
        && m_engine->waitCount() == m_entryWait && m_engine->pendingWait().interTimeout > 0)
        m_clock.startAlarm(qint64(m_engine->pendingWait().interTimeout) * 1000);
}

void CallSession::noInput()
{
    runOut(Recording::EndedBy::Silence);
}

void CallSession::runOut(Recording::EndedBy recordingEnd)
{
    if (!isRunning())
        return;
    if (recording())
        finishRecording(recordingEnd);
    else
        m_engine->timeOut();
}

void CallSession::hangUp()
{
    if (isRunning())
        m_engine->hangUp();
}

void CallSession::end(const QString &why)
{
    if (isRunning())
        m_engine->stop(EndReason::FlowChanged, why);
}

void CallSession::startRecording(const CallEvent &wait)
{
    m_recordingPath = QDir(m_recordings->path())
                          .filePath(QStringLiteral("recording%1.wav").arg(++m_recordingCount));
    const qint64 silence = qint64(wait.silenceSeconds) * 1000;
    QString error;
    m_recorder = m_microphone && m_microphone->isAvailable() ? m_microphone : m_standIn.get();
    if (m_recorder != m_standIn.get() && !m_recorder->start(m_recordingPath, silence, &error)) {
        m_engine->note(QStringLiteral("The microphone cannot record (%1): a stand-in "
                                      "recording is made instead.")
                           .arg(error));
        m_recorder = m_standIn.get();
    }
    if (m_recorder == m_standIn.get())
        m_standIn->start(m_recordingPath, silence, &error);
    m_clock.startAlarm(qint64(wait.maxSeconds) * 1000);
}

void CallSession::finishRecording(Recording::EndedBy endedBy)
{
    m_clock.stopAlarm();
    Recorder *recorder = std::exchange(m_recorder, nullptr);
    QString error;
    qint64 length = recorder->stop(&error);
    const qint64 limit = qint64(m_engine->pendingWait().maxSeconds) * 1000;
    if (limit > 0)
        length = std::min(length, limit);
    if (!error.isEmpty())
        m_engine->note(QStringLiteral("The recording cannot be written: %1").arg(error));
    m_engine->recorded({m_recordingPath, length, endedBy});
}

// ---- Changes of the flow ---------------------------------------------------------------

void CallSession::nodeAboutToBeInserted(model::FlowNode *, int)
{
    end(QStringLiteral("The flow was changed while the call ran: a node was added."));
}

void CallSession::nodeAboutToBeRemoved(model::FlowNode *)
{
    end(QStringLiteral("The flow was changed while the call ran: a node was removed."));
}

void CallSession::nodeAboutToBeMoved(model::FlowNode *, model::FlowNode *)
{
    end(QStringLiteral("The flow was changed while the call ran: a node was moved."));
}

void CallSession::treeAboutToBeReset()
{
    end(QStringLiteral("The flow was changed while the call ran: it was cleared or another "
                       "flow was loaded."));
}

void CallSession::treeDestroyed()
{
    end(QStringLiteral("The flow was closed."));
    m_tree = nullptr;
}

} // namespace call
