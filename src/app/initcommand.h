#pragma once

#include <QString>
#include <QStringList>

class QTextStream;

namespace app {

// `dialwright init [--app-dir DIR]`: the data part of start-up, headless. Prints what it
// created; problems go to `err` and make the exit status non-zero.
int runInitCommand(const QStringList &args, const QString &appDirDefault, QTextStream &out,
                   QTextStream &err);

} // namespace app
