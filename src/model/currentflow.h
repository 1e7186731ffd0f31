#pragma once

#include <QString>

namespace model {

// The current flow: the flow database file (sdbname) and flow table (sTableName) that
// selections, edits and saves write to. It changes only when a load or a creation
// completes, so a cancelled dialog never binds the tree to another database.
struct CurrentFlow
{
    QString databasePath;
    QString table;

    bool isSet() const { return !databasePath.isEmpty(); }
};

} // namespace model
