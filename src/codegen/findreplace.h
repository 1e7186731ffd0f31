#pragma once

#include <QString>

namespace codegen {

// FindReplace: every occurrence of `search` replaced, in one pass. The text is searched
// only after each replacement, so a replacement that contains the search text (or forms it
// with what follows) is never replaced again and the call always ends. An empty search
// changes nothing.
QString findReplace(const QString &source, const QString &search, const QString &replacement);

// A node text as an anchor name: every blank replaced by "-".
QString anchorName(const QString &text);

} // namespace codegen
