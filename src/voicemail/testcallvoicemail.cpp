#include "testcallvoicemail.h"

#include "machinecall.h"


namespace voicemail {

TestCallVoiceMail::TestCallVoiceMail(const QString &worldDir, const QString &wavesDir,
                                     MemberDirectory &members, const Clock &clock)
    : m_worldDir(worldDir)
    , m_wavesDir(wavesDir)
    , m_members(members)
    , m_clock(clock)
{
}

std::unique_ptr<call::VoiceMailCall> TestCallVoiceMail::takeOver(call::CallLine &line,
                                                                 const call::HandOver &handOver)
{
    call::CallEvent e;
    e.kind = call::CallEvent::Kind::Note;
    e.text = QStringLiteral("The voice mail (%1) answers.")
                 .arg(handOver.flavour == call::Flavour::Tts ? QStringLiteral("RemoteTTS.asp")
                                                              : QStringLiteral("RemoteWave.asp"));
    line.report(e);
    auto held = std::make_unique<MachineCall>(line, m_worldDir, m_wavesDir, m_members, m_clock);
    held->begin();
    return held;
}

} // namespace voicemail
