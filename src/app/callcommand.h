#pragma once

#include <QString>
#include <QStringList>

class QTextStream;

namespace app {

// `dialwright call [--app-dir DIR] [--flow-db FILE] [--table NAME] [--flavour tts|wave]
// --keys SCRIPT [--json]`: loads the flow table (default nodesflow of DIR/callflow.mdb,
// made sure of as `init` does) and runs one test call through it, the caller's actions
// taken from SCRIPT (call/callscript.h). Prints the transcript, one event a line, as text or
// JSON lines (call/transcript.h). 0 when the call ran, however it ended; 1 when the flow
// cannot be loaded; 2 for a wrong command line. Reasons go to `err`.
int runCallCommand(const QStringList &args, const QString &appDirDefault, QTextStream &out,
                   QTextStream &err);

} // namespace app
