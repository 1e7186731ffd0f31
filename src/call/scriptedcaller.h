#pragma once

#include "callscript.h"
#include "recording.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace call {

class CallEngine;

// Plays a caller from a script (callscript.h) through one call: every action answers the
// wait the call is in when the action comes. Keys go to the entry or option being waited
// for; keys left when that wait is over are reported unused rather than carried into the
// next one, so that a script reads wait by wait. A time-out during a recording, or a
// recording's terminator, ends it; R<n> speaks into it. The recordings are stand-ins
// written into `recordingDir`. When the script runs out while the call waits, the caller
// hangs up.
class ScriptedCaller
{
public:
    ScriptedCaller(CallEngine &engine, QList<ScriptAction> script, const QString &recordingDir);

    // Starts the call and plays the script until the call is over.
    void run();
    // The actions left when the call ended, as written.
    QStringList unusedActions() const { return m_unused; }

private:
    void pressKeys(const ScriptAction &action);
    void speak(const ScriptAction &action);
    void finishRecording(qint64 milliseconds, Recording::EndedBy endedBy);

    CallEngine &m_engine;
    QList<ScriptAction> m_script;
    QString m_recordingDir;
    QStringList m_unused;
    int m_recordings = 0;
};

} // namespace call
