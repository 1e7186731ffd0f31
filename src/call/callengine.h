#pragma once

#include "callevent.h"
#include "callsettings.h"
#include "nodemoves.h"
#include "recording.h"
#include "voicemailhandover.h"

#include <QMap>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

namespace model {
class FlowTree;
struct FlowNode;
} // namespace model

namespace call {

class NodeValuesSource;

// Runs one call through a flow by the call rules (nodemoves.h), as a caller would meet it:
// it reports every step as a CallEvent and takes the caller's keys, time-outs, recordings
// and hang-up. It keeps no clock and touches no device or file: whoever drives it (the
// Test Call tab through CallSession, the command line through ScriptedCaller, tests)
// times the waits, makes the recordings and plays the prompts the events ask for.
//
// The tree must not change while the call runs: end the call first (abort) and the engine
// never looks at a node again.
class CallEngine final : private CallLine
{
public:
    using EventSink = std::function<void(const CallEvent &)>;
    enum class State { Idle, Running, WaitingForEntry, WaitingForOption, Recording,
                       InVoiceMail, Ended };

    // A call that runs this many steps without waiting for the caller is stopped.
    static constexpr int kLoopLimit = 1000;

    // Voice files are found in `wavesDir`.
    CallEngine(const model::FlowTree &tree, NodeValuesSource &values, Flavour flavour,
               const QString &wavesDir, EventSink sink);
    ~CallEngine() override;
    CallEngine(const CallEngine &) = delete;
    CallEngine &operator=(const CallEngine &) = delete;

    // The voice mail "process recorded messages" hands over to; none by default.
    void setVoiceMail(VoiceMail *voiceMail) { m_voiceMail = voiceMail; }

    // Answers the call at the flow's answer-call node.
    void start();
    // The caller's actions. Each is ignored when the call does not wait for it.
    void key(QChar key);
    void timeOut();
    void recorded(const Recording &recording);
    void hangUp();
    // Ends the call from outside (the flow was edited, a script ran out), saying why.
    void stop(EndReason reason, const QString &why);
    // A line for the transcript from whoever drives the call (at the current step).
    void note(const QString &text);

    State state() const { return m_state; }
    bool isOver() const { return m_state == State::Ended; }
    // The node of the current step; nullptr before the start and after the end.
    const model::FlowNode *currentNode() const { return m_state == State::Ended ? nullptr
                                                                                : m_node; }
    // The last Wait or Record event while the call waits for the caller.
    const CallEvent &pendingWait() const { return m_wait; }
    // Counts the waits so far: a driver sees from it that the wait it answered is over.
    int waitCount() const { return m_waitCount; }
    // Whether the call is recording now, for the flow or for the voice mail.
    bool isRecording() const;
    const QMap<QString, QString> &entries() const { return m_entries; }
    const std::optional<Recording> &recording() const { return m_recording; }

private:
    CallEvent event(CallEvent::Kind kind, const QString &text = QString()) const;
    void emitEvent(const CallEvent &e) { m_sink(e); }
    void run(const model::FlowNode *node);
    const model::FlowNode *visit(const model::FlowNode *node);
    const model::FlowNode *goOn();
    const model::FlowNode *take(const Move &move);
    const model::FlowNode *takeOption(const QString &keys, bool timedOut);
    void waitForOption();
    void finishEntry(bool timedOut);
    void handOver();
    void endCall(EndReason reason, const QString &why);
    QString nodeName(const model::FlowNode *node) const;

    // CallLine, for the voice mail.
    void report(const CallEvent &event) override;
    void end(const QString &why) override;
    void hangUpInFlow() override;
    void afterVoiceMail();

    const model::FlowTree &m_tree;
    NodeValuesSource &m_values;
    Flavour m_flavour;
    QString m_wavesDir;
    EventSink m_sink;
    VoiceMail *m_voiceMail = nullptr;
    std::unique_ptr<VoiceMailCall> m_voiceMailCall;
    bool m_backToHangup = false;

    State m_state = State::Idle;
    int m_step = 0;
    int m_silentSteps = 0;
    bool m_answered = false;
    const model::FlowNode *m_node = nullptr;
    QString m_nodeKey;
    QString m_nodeText;
    NodeMoves m_moves;
    CallSettings m_settings;
    CallEvent m_wait;
    int m_waitCount = 0;
    QString m_entry;
    QMap<QString, QString> m_entries;
    std::optional<Recording> m_recording;
    bool m_saved = false;
};

} // namespace call
