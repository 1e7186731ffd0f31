#include "xmltext.h"

#include <QUrl>

namespace codegen::xmltext {

namespace {

// The characters of XML 1.0 (Char production); a surrogate pair is checked as a whole.
QString xmlChars(const QString &value)
{
    QString out;
    out.reserve(value.size());
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value.at(i);
        if (c.isHighSurrogate() && i + 1 < value.size() && value.at(i + 1).isLowSurrogate()) {
            out += c;
            out += value.at(++i);
            continue;
        }
        const char16_t u = c.unicode();
        const bool ok = u == 0x9 || u == 0xA || u == 0xD
                        || (u >= 0x20 && u <= 0xD7FF) || (u >= 0xE000 && u <= 0xFFFD);
        if (ok)
            out += c;
    }
    return out;
}

QString escape(const QString &value, bool inAttribute)
{
    QString out;
    const QString clean = xmlChars(value);
    out.reserve(clean.size() + clean.size() / 8);
    for (const QChar c : clean) {
        switch (c.unicode()) {
        case u'&':
            out += QLatin1String("&amp;");
            break;
        case u'<':
            out += QLatin1String("&lt;");
            break;
        case u'>':
            out += QLatin1String("&gt;");
            break;
        case u'\r':
            out += QLatin1String("&#13;");
            break;
        case u'"':
            out += inAttribute ? QLatin1String("&quot;") : QLatin1String("\"");
            break;
        case u'\n':
            out += inAttribute ? QLatin1String("&#10;") : QLatin1String("\n");
            break;
        case u'\t':
            out += inAttribute ? QLatin1String("&#9;") : QLatin1String("\t");
            break;
        default:
            out += c;
        }
    }
    return out;
}

} // namespace

QString text(const QString &value)
{
    return escape(value, false);
}

QString attribute(const QString &value)
{
    return escape(value, true);
}

QString comment(const QString &value)
{
    QString out = xmlChars(value);
    // Line breaks would split the comment over lines of the page; a blank says the same.
    out.replace(u'\r', u' ').replace(u'\n', u' ');
    while (out.contains(QLatin1String("--")))
        out.replace(QLatin1String("--"), QLatin1String("- -"));
    if (out.endsWith(u'-'))
        out += u' ';
    return out;
}

QString uriSegment(const QString &value)
{
    return QString::fromLatin1(QUrl::toPercentEncoding(xmlChars(value)));
}

} // namespace codegen::xmltext
