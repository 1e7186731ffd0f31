#pragma once

#include <QString>
#include <QStringList>

class QTextStream;

namespace app {

// `dialwright check [--target T] [--app-dir DIR] [--flow-db FILE] [--table NAME] [--json]`:
// loads the flow table (default nodesflow of DIR/callflow.mdb) as the designer's Load does
// and checks it for target T, or for every target when none is given. Prints one problem a
// line, "KEY TEXT: severity: message", or with --json one JSON object a line; a count goes
// to `err`. Nothing is created or changed. 0 when no error was found; 1 with errors, or when
// the flow cannot be loaded; 2 for a wrong command line.
int runCheckCommand(const QStringList &args, const QString &appDirDefault, QTextStream &out,
                    QTextStream &err);

} // namespace app
