#include "callengine.h"

#include "flowroutes.h"
#include "nodevaluessource.h"

#include "model/flowtree.h"

#include <QDir>

namespace call {

using Kind = CallEvent::Kind;

CallEngine::CallEngine(const model::FlowTree &tree, NodeValuesSource &values, Flavour flavour,
                       const QString &wavesDir, EventSink sink)
    : m_tree(tree)
    , m_values(values)
    , m_flavour(flavour)
    , m_wavesDir(wavesDir)
    , m_sink(std::move(sink))
{
}

CallEngine::~CallEngine() = default;

CallEvent CallEngine::event(Kind kind, const QString &text) const
{
    CallEvent e;
    e.kind = kind;
    e.step = m_step;
    e.nodeKey = m_nodeKey;
    e.nodeText = m_nodeText;
    e.text = text;
    return e;
}

QString CallEngine::nodeName(const model::FlowNode *node) const
{
    return node->key + u' ' + node->text;
}

void CallEngine::start()
{
    if (m_state != State::Idle)
        return;
    m_state = State::Running;
    const model::FlowNode *first = flowroutes::startNode(m_tree);
    if (!first) {
        endCall(EndReason::EmptyFlow,
            QStringLiteral("The flow is empty: there is no answer-call node to call."));
        return;
    }
    run(first);
}

void CallEngine::run(const model::FlowNode *node)
{
    // Iterative, not recursive: a route of a thousand steps must not deepen the stack.
    while (node)
        node = visit(node);
}

const model::FlowNode *CallEngine::visit(const model::FlowNode *node)
{
    ++m_step;
    m_node = node;
    m_nodeKey = node->key;
    m_nodeText = node->text;
    emitEvent(event(Kind::Node));
    if (++m_silentSteps >= kLoopLimit) {
        QStringList names;
        for (const model::FlowNode *n : flowroutes::silentLoopFrom(m_tree, *node))
            names << nodeName(n);
        endCall(EndReason::Loop,
            QStringLiteral("The call ran %1 steps without waiting for the caller: it loops "
                           "through %2.")
                .arg(kLoopLimit)
                .arg(names.isEmpty() ? nodeName(node) : names.join(QStringLiteral(", "))));
        return nullptr;
    }

    m_moves = movesOf(m_tree, *node);
    QString error;
    const model::NodeValues values = m_values.valuesOf(*node, &error);
    if (!error.isEmpty()) {
        emitEvent(event(Kind::Note, QStringLiteral("The properties of %1 cannot be read (%2); "
                                                   "the defaults are used.")
                                        .arg(nodeName(node), error)));
    }
    m_settings = CallSettings::from(values, node->text, m_flavour);

    const Behaviour &b = *m_moves.behaviour;
    if (b.prompt == PromptSource::NodePrompt) {
        CallEvent e = event(Kind::Prompt, m_settings.prompt);
        if (m_flavour == Flavour::Wave) {
            e.prompt = CallEvent::PromptKind::VoiceFile;
            e.path = QDir(m_wavesDir).filePath(m_settings.prompt);
        }
        emitEvent(e);
    }

    switch (b.action) {
    case Action::Answer:
        if (!m_answered) {
            m_answered = true;
            emitEvent(event(Kind::Answer));
        }
        break;
    case Action::HearRecording:
        if (m_recording) {
            CallEvent e = event(Kind::Prompt, QDir(m_recording->path).dirName());
            e.prompt = CallEvent::PromptKind::Recording;
            e.path = m_recording->path;
            e.milliseconds = m_recording->milliseconds;
            emitEvent(e);
        } else {
            emitEvent(event(Kind::Note, QStringLiteral("There is no recording to hear.")));
        }
        break;
    case Action::SaveRecording:
        if (m_recording) {
            m_saved = true;
            emitEvent(event(Kind::Saved));
        } else {
            emitEvent(event(Kind::Note, QStringLiteral("There is no recording to save.")));
        }
        break;
    case Action::DeleteRecording:
        if (m_recording) {
            m_recording.reset();
            m_saved = false;
            emitEvent(event(Kind::Deleted));
        } else {
            emitEvent(event(Kind::Note, QStringLiteral("There is no recording to delete.")));
        }
        break;
    case Action::CollectDigits: {
        m_state = State::WaitingForEntry;
        m_silentSteps = 0;
        m_entry.clear();
        m_wait = event(Kind::Wait);
        m_wait.waitFor = CallEvent::WaitFor::Entry;
        m_wait.session = b.session();
        m_wait.maxKeys = m_settings.maxKeys;
        m_wait.terminator = m_settings.terminator;
        m_wait.firstTimeout = m_settings.firstTimeout;
        m_wait.interTimeout = m_settings.interTimeout;
        if (b.entryIsOption && m_moves.offersOptions)
            m_wait.options = std::min(node->childCount(), kMaxOptions);
        ++m_waitCount;
        emitEvent(m_wait);
        return nullptr;
    }
    case Action::Record:
        m_state = State::Recording;
        m_silentSteps = 0;
        m_wait = event(Kind::Record);
        m_wait.maxSeconds = m_settings.maxRecordSeconds;
        m_wait.terminator = m_settings.terminator;
        m_wait.silenceSeconds = m_settings.interTimeout;
        ++m_waitCount;
        emitEvent(m_wait);
        return nullptr;
    case Action::Prompt:
    case Action::Rerecord:
    case Action::VoiceMail:
    case Action::HangUp:
    case Action::None:
        break;
    }
    return goOn();
}

const model::FlowNode *CallEngine::goOn()
{
    if (m_moves.offersOptions) {
        waitForOption();
        return nullptr;
    }
    return take(*m_moves.afterAction());
}

void CallEngine::waitForOption()
{
    m_state = State::WaitingForOption;
    m_silentSteps = 0;
    m_wait = event(Kind::Wait);
    m_wait.waitFor = CallEvent::WaitFor::Option;
    m_wait.options = std::min(m_node->childCount(), kMaxOptions);
    m_wait.firstTimeout = m_settings.firstTimeout;
    ++m_waitCount;
    emitEvent(m_wait);
}

const model::FlowNode *CallEngine::take(const Move &move)
{
    m_state = State::Running;
    switch (move.outcome) {
    case Outcome::ToNode: {
        CallEvent e = event(Kind::Move);
        switch (move.trigger) {
        case Trigger::AfterAction:
            e.move = move.goesBack ? QStringLiteral("back") : QStringLiteral("next");
            break;
        case Trigger::OptionKey:
            e.move = QStringLiteral("option");
            e.option = move.key;
            break;
        case Trigger::TimeOut:
            e.move = QStringLiteral("time-out");
            break;
        case Trigger::OtherKey:
            e.move = QStringLiteral("other-key");
            break;
        }
        e.targetKey = move.target->key;
        e.targetText = move.target->text;
        emitEvent(e);
        return move.target;
    }
    case Outcome::EndsCall:
        endCall(EndReason::HungUp, QStringLiteral("%1 ended the call.").arg(nodeName(m_node)));
        break;
    case Outcome::VoiceMail:
        handOver();
        break;
    case Outcome::NoNextStep:
        endCall(EndReason::NoNextStep,
            QStringLiteral("The flow has no next step after %1: the call stays there.")
                .arg(nodeName(m_node)));
        break;
    case Outcome::NoSection:
        endCall(EndReason::NoSection,
            QStringLiteral("%1 names no call function: the page has no section for it, so "
                           "the call cannot go on.")
                .arg(nodeName(m_node)));
        break;
    }
    return nullptr;
}

const model::FlowNode *CallEngine::takeOption(const QString &keys, bool timedOut)
{
    if (timedOut && keys.isEmpty())
        return take(*m_moves.onTimeOut());
    const Move *move = m_moves.forOption(keys);
    bool isNumber = false;
    const int option = keys.toInt(&isNumber);
    if (move->trigger == Trigger::OtherKey && isNumber && option > kMaxOptions
        && option <= m_node->childCount()) {
        const model::FlowNode *child = m_node->children[size_t(option - 1)];
        emitEvent(event(Kind::Note,
                        QStringLiteral("Option %1 would be %2, but a node offers six options: "
                                       "a seventh or later child can never be reached.")
                            .arg(keys, nodeName(child))));
    }
    return take(*move);
}

void CallEngine::key(QChar key)
{
    switch (m_state) {
    case State::WaitingForEntry:
        emitEvent(event(Kind::Key, key));
        if (!m_settings.terminator.isEmpty() && key == m_settings.terminator.front()) {
            finishEntry(false);
            return;
        }
        m_entry += key;
        if (m_settings.maxKeys > 0 && m_entry.size() >= m_settings.maxKeys)
            finishEntry(false);
        return;
    case State::WaitingForOption:
        emitEvent(event(Kind::Key, key));
        run(takeOption(key, false));
        return;
    case State::Recording:
        // The recorder's driver ends the recording on the terminator; the key is heard.
        emitEvent(event(Kind::Key, key));
        return;
    case State::InVoiceMail:
        emitEvent(event(Kind::Key, key));
        m_voiceMailCall->key(key);
        afterVoiceMail();
        return;
    case State::Idle:
    case State::Running:
    case State::Ended:
        return;
    }
}

void CallEngine::timeOut()
{
    switch (m_state) {
    case State::WaitingForEntry:
        emitEvent(event(Kind::TimeOut));
        finishEntry(true);
        return;
    case State::WaitingForOption:
        emitEvent(event(Kind::TimeOut));
        run(takeOption(QString(), true));
        return;
    case State::InVoiceMail:
        emitEvent(event(Kind::TimeOut));
        m_voiceMailCall->timeOut();
        afterVoiceMail();
        return;
    case State::Recording: // silence ends a recording: the driver hands it over
    case State::Idle:
    case State::Running:
    case State::Ended:
        return;
    }
}

void CallEngine::finishEntry(bool timedOut)
{
    m_state = State::Running;
    const Behaviour &b = *m_moves.behaviour;
    m_entries.insert(b.session(), m_entry);
    CallEvent e = event(Kind::Entry, m_entry);
    e.session = b.session();
    emitEvent(e);
    if (b.entryIsOption && m_moves.offersOptions)
        run(takeOption(m_entry, timedOut));
    else
        run(goOn());
}

void CallEngine::recorded(const Recording &recording)
{
    if (m_state == State::InVoiceMail) {
        m_voiceMailCall->recorded(recording);
        afterVoiceMail();
        return;
    }
    if (m_state != State::Recording)
        return;
    m_state = State::Running;
    m_recording = recording;
    m_saved = false;
    CallEvent e = event(Kind::Recorded);
    e.milliseconds = recording.milliseconds;
    e.endedBy = recording.endedBy;
    e.path = recording.path;
    emitEvent(e);
    run(goOn());
}

void CallEngine::hangUp()
{
    if (m_state == State::Idle || m_state == State::Ended)
        return;
    stop(EndReason::CallerHungUp, QStringLiteral("The caller hung up."));
}

void CallEngine::stop(EndReason reason, const QString &why)
{
    if (m_state == State::Ended)
        return;
    if (m_voiceMailCall)
        m_voiceMailCall->hangUp();
    endCall(reason, why);
}

void CallEngine::note(const QString &text)
{
    if (m_state != State::Ended)
        emitEvent(event(Kind::Note, text));
}

bool CallEngine::isRecording() const
{
    return m_state == State::Recording
           || (m_state == State::InVoiceMail && m_wait.kind == Kind::Record);
}

void CallEngine::endCall(EndReason reason, const QString &why)
{
    m_state = State::Ended;
    CallEvent e = event(Kind::End, why);
    e.endReason = reason;
    emitEvent(e);
    m_node = nullptr;
}

// ---- The voice mail ------------------------------------------------------------------

void CallEngine::handOver()
{
    if (!m_voiceMail) {
        endCall(EndReason::VoiceMail,
            QStringLiteral("The call leaves for the voice mail (%1); the test call ends here.")
                .arg(m_flavour == Flavour::Tts ? QStringLiteral("RemoteTTS.asp")
                                               : QStringLiteral("RemoteWave.asp")));
        return;
    }
    m_state = State::InVoiceMail;
    m_silentSteps = 0;
    m_wait = CallEvent(); // until the voice mail asks for something
    emitEvent(event(Kind::Note, QStringLiteral("The call is handed to the voice mail.")));
    HandOver handOver;
    handOver.flavour = m_flavour;
    handOver.entries = m_entries;
    handOver.recording = m_recording;
    handOver.recordingSaved = m_saved;
    m_voiceMailCall = m_voiceMail->takeOver(*this, handOver);
    afterVoiceMail();
}

void CallEngine::report(const CallEvent &reported)
{
    if (m_state != State::InVoiceMail)
        return;
    CallEvent e = reported;
    e.step = m_step;
    e.nodeKey = m_nodeKey;
    e.nodeText = m_nodeText;
    if (e.kind == Kind::Wait || e.kind == Kind::Record) {
        m_wait = e;
        ++m_waitCount;
    }
    emitEvent(e);
}

void CallEngine::end(const QString &why)
{
    if (m_state == State::InVoiceMail)
        endCall(EndReason::VoiceMail, why);
}

void CallEngine::hangUpInFlow()
{
    if (m_state == State::InVoiceMail)
        m_backToHangup = true;
}

// The voice mail may end the call or send it back from inside its own calls: the engine
// lets go of it only once it has returned.
void CallEngine::afterVoiceMail()
{
    if (m_state == State::Ended) {
        m_voiceMailCall.reset();
        return;
    }
    if (!m_backToHangup)
        return;
    m_backToHangup = false;
    m_voiceMailCall.reset();
    m_state = State::Running;
    for (const model::FlowNode *node : m_tree.depthFirst()) {
        if (node->parent && behaviourOf(*node).function == Function::Hangup) {
            CallEvent e = event(Kind::Move);
            e.move = QStringLiteral("hang-up");
            e.targetKey = node->key;
            e.targetText = node->text;
            emitEvent(e);
            run(node);
            return;
        }
    }
    endCall(EndReason::VoiceMail,
        QStringLiteral("The voice mail sends the call to the flow's hang-up, but the flow has "
                       "none; the call ends."));
}

} // namespace call
