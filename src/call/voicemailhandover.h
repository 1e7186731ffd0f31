#pragma once

#include "callevent.h"
#include "callsettings.h"
#include "recording.h"

#include <QMap>
#include <QString>

#include <memory>
#include <optional>

// The hand-over point between a test call and the voice mail: at "process recorded
// messages" the call engine hands the call to a VoiceMail, as callTTS.asp and callWave.asp
// navigate to the voice-mail page. From then on the engine passes the caller's actions to
// the VoiceMailCall it got back, and the voice mail reports through the CallLine, with the
// same events the engine uses, until it ends the call or sends it back to the flow's
// hang-up. Without a VoiceMail the transcript says the call leaves for the voice mail and
// the call ends there.
namespace call {

// What the voice mail is told about the call it takes over.
struct HandOver
{
    Flavour flavour = Flavour::Tts;
    // The entries collected so far, by session name ("userid", "userpin", ...).
    QMap<QString, QString> entries;
    // This call's recording, if one was made and not deleted, and whether it was saved.
    std::optional<Recording> recording;
    bool recordingSaved = false;
};

// The call as the voice mail sees it: where it reports what the caller hears and is asked.
class CallLine
{
public:
    virtual ~CallLine() = default;
    // A Prompt, Wait, Record, Entry, Recorded or Note event (its step and node are filled
    // in by the engine). The caller's keys and time-outs are reported by the engine.
    virtual void report(const CallEvent &event) = 0;
    // The voice mail ends the call, saying why.
    virtual void end(const QString &why) = 0;
    // The voice mail is done and sends the call to the flow's hang-up section, as the
    // voice-mail page does when it navigates to "callWave.asp#Hangup".
    virtual void hangUpInFlow() = 0;
};

// The caller's side of a call the voice mail holds.
class VoiceMailCall
{
public:
    virtual ~VoiceMailCall() = default;
    virtual void key(QChar key) = 0;
    virtual void timeOut() = 0;
    virtual void recorded(const Recording &recording) = 0;
    // The caller hangs up; nothing more may be reported.
    virtual void hangUp() = 0;
};

// The voice-mail system a test call can be handed to.
class VoiceMail
{
public:
    virtual ~VoiceMail() = default;
    // Takes the call over. The line stays valid for as long as the returned call lives.
    virtual std::unique_ptr<VoiceMailCall> takeOver(CallLine &line, const HandOver &handOver) = 0;
};

} // namespace call
