#pragma once

#include <QString>

namespace codegen {

// ReplaceFirstInstance: the source with the first occurrence of `search` at or after
// `from` replaced (exact comparison). *next receives the position just after the inserted
// replacement, or -1 when there was no occurrence (the source is then returned unchanged).
QString replaceFirstInstance(const QString &source, const QString &search,
                             const QString &replacement, qsizetype from = 0,
                             qsizetype *next = nullptr);

// FindReplace: every occurrence of `search` replaced. Each search resumes after the text
// just inserted, so a replacement that contains the search text (or forms it with what
// follows) is never replaced again and the call always ends. An empty search changes
// nothing.
QString findReplace(const QString &source, const QString &search, const QString &replacement);

// A node text as an anchor name: every blank replaced by "-".
QString anchorName(const QString &text);

} // namespace codegen
