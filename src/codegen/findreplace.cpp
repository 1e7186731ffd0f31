#include "findreplace.h"

namespace codegen {

QString findReplace(const QString &source, const QString &search, const QString &replacement)
{
    qsizetype at = search.isEmpty() ? -1 : source.indexOf(search);
    if (at < 0)
        return source;
    // Built piece by piece: replacing in place would copy the rest of the text each time.
    QString result;
    result.reserve(source.size());
    qsizetype from = 0;
    for (; at >= 0; at = source.indexOf(search, from)) {
        result += QStringView(source).mid(from, at - from);
        result += replacement;
        from = at + search.size();
    }
    result += QStringView(source).mid(from);
    return result;
}

QString anchorName(const QString &text)
{
    return findReplace(text, QStringLiteral(" "), QStringLiteral("-"));
}

} // namespace codegen
