#pragma once

#include "flowcontent.h"

#include <QByteArray>
#include <QString>

namespace flowjson {

struct ExportResult
{
    bool ok = false;
    QByteArray bytes; // the flow file
    QString error;    // why there is none, for the user
    int skipped = 0;  // rows left out because their parent is not before them, as on loading
};

// The flow file of a flow table: the tree as the designer loads it, each node with the
// properties of its row. Refused, with every problem named, when the flow holds what a
// flow file cannot (a key outside the "N_" scheme, a text that names no call function,
// a value too long for its column), so that every file written can be read back.
ExportResult exportFlow(const QString &databasePath, const QString &table);

} // namespace flowjson
