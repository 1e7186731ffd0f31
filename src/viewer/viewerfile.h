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
    bool windows1252 = false; // the bytes were not UTF-8: windows-1252, as pages are written
};

// Reads a page: UTF-8 when the bytes are valid UTF-8, otherwise windows-1252; CR LF and
// lone CR become LF.
ViewerFile readViewerFile(const QString &path);

// Writes the viewer's text with CR LF line breaks, in windows-1252 or UTF-8, the encoding
// it was read in. A character windows-1252 cannot hold fails the write with a message
// naming it, rather than changing the file's encoding. Writes through a temporary file,
// so a failed save leaves the old file whole.
ViewerFile writeViewerFile(const QString &path, const QString &text, bool windows1252);

} // namespace viewer
