#pragma once

#include "call/voicemailhandover.h"

#include <QString>

namespace voicemail {

class Clock;
class MemberDirectory;

// The voice mail test calls are handed to at "process recorded messages": the voice-mail
// state machine on the members and mailbox folders of `worldDir` (the application folder,
// or a copy of it), with the system prompts of `wavesDir`.
class TestCallVoiceMail final : public call::VoiceMail
{
public:
    TestCallVoiceMail(const QString &worldDir, const QString &wavesDir, MemberDirectory &members,
                      const Clock &clock);

    std::unique_ptr<call::VoiceMailCall> takeOver(call::CallLine &line,
                                                  const call::HandOver &handOver) override;

private:
    QString m_worldDir;
    QString m_wavesDir;
    MemberDirectory &m_members;
    const Clock &m_clock;
};

} // namespace voicemail
