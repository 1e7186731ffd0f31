#pragma once

#include <QString>

namespace model {

// The demonstration flow a new installation opens with: a voice-mail application of
// fifteen nodes in table nodesflow of callflow.mdb.
namespace demoflow {

inline QString fileName() { return QStringLiteral("callflow.mdb"); }
inline QString tableName() { return QStringLiteral("nodesflow"); }

// The store part of seedDemoFlow: when no callflow.mdb exists (whatever the case of its
// name), creates it with the fifteen rows. *created tells whether it did. An existing
// file is left alone, but one that is not a database is reported.
bool ensure(const QString &appDir, bool *created, QString *error);

// The path of the default flow database (the existing file's own spelling if any).
QString path(const QString &appDir);

} // namespace demoflow
} // namespace model
