#pragma once

#include <QByteArray>
#include <QStringView>

namespace codegen {

// windows-1252, the 8-bit character set the telephony pages are read in: Latin-1 plus 27
// typographic characters in 0x80-0x9F. Characters it cannot hold (and the C1 controls,
// which it does not define) become '?'; *unencodable, when given, receives the position of
// the first of them, or -1. Our own table, because Qt 6.4's encoder writes 0x1A for what
// it cannot encode and does not say so.
QByteArray toWindows1252(QStringView text, qsizetype *unencodable = nullptr);
// The text of windows-1252 bytes. The five bytes it leaves undefined give the C1 controls
// of the same value.
QString fromWindows1252(QByteArrayView bytes);

// The text with each line break (CR LF, a lone CR or LF) written as `lineBreak`.
QString withLineBreaks(QString text, QStringView lineBreak);

// Control characters left out (C0 but tab and line breaks, DEL, the C1 controls): they
// never reach a page or a printed narration.
QString withoutControls(QStringView text);
// The same as one line: each line break (CR LF, CR or LF) becomes a blank.
QString singleLine(QStringView text);

// The characters XML 1.0 allows at all: other controls, lone surrogates, U+FFFE and U+FFFF
// left out.
QString xmlCharacters(QStringView text);
// The value as it may stand inside a double-quoted XML attribute, or as character data:
// the characters of xmlCharacters, & < > " as entity references, tab and line breaks as
// character references (so that they read back as they were).
QString xmlAttributeEscaped(QStringView value);

} // namespace codegen
