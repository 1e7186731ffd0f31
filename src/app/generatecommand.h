#pragma once

#include <QString>
#include <QStringList>

class QTextStream;

namespace app {

// `dialwright generate --target T [--app-dir DIR] [--flow-db FILE] [--table NAME]`:
// makes sure of the databases and folders as `init` does, loads the flow table (default
// nodesflow of DIR/callflow.mdb) into a flow tree as the designer's Load does, and
// generates the target's pages into DIR. Prints the narration sentences one per line for
// the target TTS, else the completion message. 0 on success; 1 when the flow cannot be
// loaded or generated, 2 for a wrong command line; the reason goes to `err`.
// `appDirDefault` is the folder to use when --app-dir is not given.
int runGenerateCommand(const QStringList &args, const QString &appDirDefault, QTextStream &out,
                       QTextStream &err);

} // namespace app
