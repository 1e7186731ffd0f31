#pragma once

#include "flowcontent.h"

#include "model/flowstore.h"

#include <QByteArray>
#include <QString>

namespace flowjson {

struct ExportResult
{
    bool ok = false;
    QByteArray bytes;          // the flow file
    QString error;             // why there is none, for the user
    model::SkippedRows skipped; // rows left out, as the designer leaves them out on loading
};

// The flow file of a flow table: the tree as the designer loads it, each node with the
// properties of its row; an empty table gives a file without nodes. Refused, with every
// problem named, when the flow holds what a flow file cannot (a key outside the "N_"
// scheme, a text that names no call function, a value too long for its column), so that
// every file written can be read back.
ExportResult exportFlow(const QString &databasePath, const QString &table);
// The same for a flow as the designer shows it: `tree`, each node with the properties of its
// row in the table, as a save would write them.
ExportResult exportTree(const model::FlowTree &tree, const QString &databasePath,
                        const QString &table);

struct ImportResult
{
    bool ok = false;
    QString error;
    bool refusedAsExisting = false; // the table exists and `replace` was not given
};

// Writes a flow read from a file into the table, all or nothing: a new table (in a new
// database file when there is none), or, only when `replace`, the rows of an existing
// flow table replaced. The rows go parents first, as a save writes them.
ImportResult importFlow(const FlowContent &content, const QString &databasePath,
                        const QString &table, bool replace);

} // namespace flowjson
