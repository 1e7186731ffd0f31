#pragma once

#include <QString>
#include <QStringList>

class QTextStream;

namespace app {

// `dialwright export [--app-dir DIR] [--flow-db FILE] [--table NAME] [--out FILE]`: writes
// the flow of the table (default nodesflow of DIR/callflow.mdb) as a flow file, to FILE
// (written whole or not at all) or to `out`. Nothing is created when the database is
// missing.
int runExportCommand(const QStringList &args, const QString &appDirDefault, QTextStream &out,
                     QTextStream &err);

// `dialwright import FILE [--app-dir DIR] [--flow-db FILE] --table NAME [--replace]`:
// checks the whole flow file, then writes its flow into the table, all or nothing. An
// existing table is replaced only with --replace. The default flow database is made with
// its demonstration flow first when missing, so that an import never stands in for it.
int runImportCommand(const QStringList &args, const QString &appDirDefault, QTextStream &out,
                     QTextStream &err);

} // namespace app
