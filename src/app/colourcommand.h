#pragma once

#include <QStringList>

class QTextStream;

namespace app {

// `dialwright colour FILE [--generated]`: prints an HTML document showing FILE coloured as the
// code viewer colours it; with --generated the text is lower-cased first, as after a
// generation. `args` are the words after "colour"; no application folder is needed.
int runColourCommand(const QStringList &args, const QString &appDirDefault, QTextStream &out,
                     QTextStream &err);

} // namespace app
