#pragma once

#include "generationtarget.h"

#include <QString>

namespace codegen {

class LineSink;

// The site base URL written wherever the voice-mail page forms a location (system prompts
// under "/waves/", mailboxes under "/mboxes/"). The page also opens its files through it,
// so it names the voice site's folder on the telephony server, beside the page's fixed
// log and database under d:\inetpub\wwwroot\voices. The page's own comment tells the
// user to replace every occurrence with the location of their own site.
inline constexpr char16_t kSiteBaseUrl[] = u"d:/inetpub/wwwroot/voices";

// Writes the fixed voice-mail page (RemoteTTS.asp / RemoteWave.asp), one call per line.
// The text does not depend on the flow: every call writes the same lines.
void writeRemotePage(LineSink &sink);

// Writes the voice-mail service that answers in VoiceXML (RemoteVxml.asp): the voice-mail
// page's state routine and routines unchanged, every visit answering with a small VoiceXML
// document (play, collect digits, record into the mailbox, disconnect) that submits back
// to the page for the next step.
void writeVxmlServicePage(LineSink &sink);

// "RemoteTTS.asp" for the targets "wteTTS" and "TTS", "RemoteWave.asp" for "wteWave",
// "RemoteVxml.asp" for "vxml", empty for "callxml" (no voice-mail page is written then).
QString remotePageFileName(GenerationTarget target);

} // namespace codegen
