#pragma once

#include "voicemailmachine.h"

#include "call/voicemailhandover.h"

#include <QString>

namespace voicemail {

// A test call held by the voice mail: the machine's actions become the call's events
// (prompts, waits, recordings), and the caller's keys are gathered into entries as the
// telephony engine does for the voice-mail page: up to the wait's number of keys or up to
// "#", which stays part of the entry; a time-out leaves the entry empty.
class MachineCall final : public call::VoiceMailCall
{
public:
    // Prompts play from `wavesDir`; members and mailboxes are those of `worldDir`.
    MachineCall(call::CallLine &line, const QString &worldDir, const QString &wavesDir,
                MemberDirectory &members, const Clock &clock);

    // Answers with the first prompt and goes on to the first wait.
    void begin();

    void key(QChar key) override;
    void timeOut() override;
    void recorded(const call::Recording &recording) override;
    void hangUp() override;

private:
    void follow(Action action);
    void finishEntry();
    void report(call::CallEvent event);

    call::CallLine &m_line;
    QString m_worldDir;
    QString m_wavesDir;
    VoiceMailMachine m_machine;
    Action m_waiting;
    QString m_keys;
    bool m_over = false;
};

} // namespace voicemail
