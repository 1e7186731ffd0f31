#pragma once

#include <QString>
#include <QStringList>

class QTextStream;

namespace app {

// `dialwright diagram --out FILE.svg|FILE.png [--app-dir DIR] [--flow-db FILE] [--table NAME]`:
// draws the flow of the table (default nodesflow of DIR/callflow.mdb) as the Diagram tab does
// and writes it to FILE, whole or not at all. Nothing is created when the database is
// missing. 0 when written; 1 when the flow cannot be read or the file cannot be written; 2
// for a wrong command line. Needs a GUI application object (the offscreen platform will do).
// Its options are parsed as every command's are (commandline.h).
int runDiagramCommand(const QStringList &args, const QString &appDirDefault, QTextStream &out,
                      QTextStream &err);

} // namespace app
