#include "findreplace.h"

namespace codegen {

QString replaceFirstInstance(const QString &source, const QString &search,
                             const QString &replacement, qsizetype from, qsizetype *next)
{
    const qsizetype at = search.isEmpty() ? -1 : source.indexOf(search, from, Qt::CaseSensitive);
    if (at < 0) {
        if (next)
            *next = -1;
        return source;
    }
    if (next)
        *next = at + replacement.size();
    return source.left(at) + replacement + source.mid(at + search.size());
}

QString findReplace(const QString &source, const QString &search, const QString &replacement)
{
    QString result = source;
    qsizetype from = 0;
    while (from >= 0)
        result = replaceFirstInstance(result, search, replacement, from, &from);
    return result;
}

QString anchorName(const QString &text)
{
    return findReplace(text, QStringLiteral(" "), QStringLiteral("-"));
}

} // namespace codegen
