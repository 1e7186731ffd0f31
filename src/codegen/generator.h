#pragma once

#include "generationtarget.h"

#include <QString>

namespace model {
class FlowTree;
}

namespace codegen {

class Narrator;

// One generation run: what to write, where the pages go, where the node properties are.
struct GenerationRequest
{
    GenerationTarget target = GenerationTarget::WteTts;
    QString appDir;       // the pages are written into this folder
    QString databasePath; // the current flow database
    QString table;        // the current flow table
};

struct GenerationResult
{
    bool ok = false;
    QString error;        // what failed, for the user; empty on success
    QString mainFile;     // full path of the call page
    QString remoteFile;   // full path of the voice-mail page; empty when none was written
    bool remoteNeeded = false;
};

// Writecode2: writes the target's page from the tree, each node's properties read from its
// row in the flow table, and the voice-mail page when the flow processes recorded messages
// (never for "callxml"); for "vxml", the flow's VoiceXML document and its voice-mail
// service. The pages replace the previous ones only when the whole run
// succeeded; otherwise nothing on disk changes and `error` says why. For the target "TTS"
// the narrator hears the flow's sentences in walk order once the pages are written.
GenerationResult generate(const model::FlowTree &tree, const GenerationRequest &request,
                          Narrator *narrator);

// The completion message shown after a run: "Code generated: CallTTS.asp and
// RemoteTTS.asp", ..., "Code generated: callvxml.vxml and RemoteVxml.asp".
QString completionMessage(GenerationTarget target, bool remoteNeeded);

// "callWave.asp", "callTTS.asp" (also for the narration), "callxml.asp", "callvxml.vxml".
QString outputFileName(GenerationTarget target);

} // namespace codegen
