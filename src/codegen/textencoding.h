#pragma once

#include <QByteArray>
#include <QStringView>

namespace codegen {

// windows-1252, the 8-bit character set the telephony pages are read in: Latin-1 plus 27
// typographic characters in 0x80-0x9F. Characters it cannot hold (and the C1 controls,
// which it does not define) become '?'.
QByteArray toWindows1252(QStringView text);

// The value as it may stand inside a double-quoted XML attribute: & < > " as entity
// references, tab and line breaks as character references, and the characters XML 1.0
// does not allow at all (other controls, lone surrogates, U+FFFE, U+FFFF) left out.
QString xmlAttributeEscaped(QStringView value);

} // namespace codegen
