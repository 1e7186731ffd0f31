#pragma once

#include "callevent.h"
#include "callsettings.h"

#include "model/flowtree.h"

#include <QObject>

#include <memory>

class QTemporaryDir;

namespace call {

class CallEngine;
class Clock;
class NodeValuesSource;
class Recorder;
class StandInRecorder;
class VoiceMail;

// A test call as a person places it: the engine (callengine.h) with the time and the
// recordings around it. The waits run out on the clock (FirstTimeoutInterval before the
// first key, InterTimeoutInterval between keys, seconds); "No Input" lets the current wait
// run out at once. A recording is made with the microphone recorder when it is available,
// else with a stand-in of the length the caller holds it; it ends at its terminator, at
// "No Input" or heard silence, or at MaxReclen. Recordings live in a temporary folder of the
// call. Any change of the flow tree ends the call, with a line saying why, before the tree
// changes. Widget-free: the Test Call tab shows it, tests drive it with a hand-moved clock.
class CallSession final : public QObject, private model::FlowTreeObserver
{
    Q_OBJECT
public:
    // `microphone` may be null or unavailable: recordings are stand-ins then.
    CallSession(model::FlowTree &tree, Clock &clock, Recorder *microphone,
                QObject *parent = nullptr);
    ~CallSession() override;

    void setVoiceMail(VoiceMail *voiceMail) { m_voiceMail = voiceMail; }

    // Starts a call through the tree, reading node values from `values`; voice files are
    // found in `wavesDir`. False with *error when a call runs already or there is no
    // temporary folder for the recordings.
    bool start(std::unique_ptr<NodeValuesSource> values, Flavour flavour,
               const QString &wavesDir, QString *error);
    bool isRunning() const;
    // The node being run; nullptr when no call runs.
    const model::FlowNode *currentNode() const;

public Q_SLOTS:
    void key(QChar key);
    void noInput();
    void hangUp();
    // Ends the call from outside, the line saying why.
    void end(const QString &why);

Q_SIGNALS:
    // Every event of the call, in order (the last is the End event).
    void event(const call::CallEvent &event);

private:
    void onEvent(const CallEvent &e);
    // The wait runs out now; a recording ends as `recordingEnd` says.
    void runOut(Recording::EndedBy recordingEnd);
    void startRecording(const CallEvent &wait);
    void finishRecording(Recording::EndedBy endedBy);
    bool recording() const;

    // FlowTreeObserver: the call ends before the tree changes.
    void nodeAboutToBeInserted(model::FlowNode *, int) override;
    void nodeInserted(model::FlowNode *) override {}
    void nodeAboutToBeRemoved(model::FlowNode *) override;
    void nodeRemoved() override {}
    void nodeAboutToBeMoved(model::FlowNode *, model::FlowNode *) override;
    void nodeMoved(model::FlowNode *) override {}
    void treeAboutToBeReset() override;
    void treeReset() override {}
    void treeDestroyed() override;

    model::FlowTree *m_tree;
    Clock &m_clock;
    Recorder *m_microphone;
    std::unique_ptr<StandInRecorder> m_standIn;
    VoiceMail *m_voiceMail = nullptr;

    std::unique_ptr<NodeValuesSource> m_values;
    std::unique_ptr<QTemporaryDir> m_recordings;
    std::unique_ptr<CallEngine> m_engine;
    Recorder *m_recorder = nullptr; // the one recording now
    QString m_recordingPath;
    int m_recordingCount = 0;
    int m_entryWait = -1; // the engine's wait count while an entry is being keyed
};

} // namespace call
