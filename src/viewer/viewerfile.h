#pragma once

#include <QString>

namespace viewer {

// The text of a page as the viewer holds it. Pages are 8-bit text ended by CR LF; the viewer
// keeps one line feed per line break, so that a position in its text is a position in the
// editor's document.
struct ViewerFile
{
    bool ok = false;
    QString text;
    QString error; // why the file could not be read or written, when !ok
    bool latin1 = false; // the bytes were not UTF-8 and were read as Latin-1
};

// Reads a page: UTF-8 when the bytes are valid UTF-8, otherwise Latin-1; CR LF and lone CR
// become LF.
ViewerFile readViewerFile(const QString &path);

// Turns CR LF and lone CR into LF.
QString normaliseLineBreaks(const QString &text);

// Writes the viewer's text with CR LF line breaks, in Latin-1 when `latin1` is asked for and
// every character fits, else UTF-8. Writes through a temporary file, so a failed save
// leaves the old file whole.
ViewerFile writeViewerFile(const QString &path, const QString &text, bool latin1);

} // namespace viewer
