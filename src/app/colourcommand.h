#pragma once

#include <QStringList>

class QTextStream;

namespace app {

// `dialwright colour FILE [--generated]`: prints an HTML document showing FILE coloured as the
// code viewer colours it; with --generated the text is lower-cased first, as after a
// generation. `args` are the words after "colour". Returns the exit status.
int runColourCommand(const QStringList &args, QTextStream &out, QTextStream &err);

} // namespace app
