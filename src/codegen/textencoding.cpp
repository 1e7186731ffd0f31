#include "textencoding.h"

#include <QString>

#include <algorithm>

namespace codegen {

namespace {
// The characters of 0x80 to 0x9F; 0 where windows-1252 defines none.
constexpr char16_t kHighRange[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

char encodeOne(char32_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return char(c);
    for (int i = 0; i < 32; ++i) {
        if (kHighRange[i] != 0 && kHighRange[i] == c)
            return char(0x80 + i);
    }
    return '?';
}
bool isControl(char16_t c)
{
    return (c < 0x20 && c != u'\t' && c != u'\r' && c != u'\n') || (c >= 0x7f && c <= 0x9f);
}

QString cleaned(QStringView text, bool keepBreaks)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text.at(i).unicode();
        if (c == u'\r' || c == u'\n') {
            if (keepBreaks) {
                out += QChar(c);
            } else {
                out += u' ';
                if (c == u'\r' && i + 1 < text.size() && text.at(i + 1) == u'\n')
                    ++i;
            }
        } else if (!isControl(c)) {
            out += QChar(c);
        }
    }
    return out;
}
} // namespace

QString withoutControls(QStringView text)
{
    if (std::none_of(text.begin(), text.end(), [](QChar c) { return isControl(c.unicode()); }))
        return text.toString();
    return cleaned(text, true);
}

QString withLineBreaks(QString text, QStringView lineBreak)
{
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(u'\r', u'\n');
    if (lineBreak != u"\n")
        text.replace(QStringLiteral("\n"), lineBreak.toString());
    return text;
}

QString singleLine(QStringView text)
{
    return cleaned(text, false);
}

QByteArray toWindows1252(QStringView text, qsizetype *unencodable)
{
    QByteArray out(text.size(), Qt::Uninitialized);
    char *to = out.data();
    if (unencodable)
        *unencodable = -1;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        *to = c.isSurrogate() ? '?' : encodeOne(c.unicode());
        if (*to++ == '?' && c != u'?' && unencodable && *unencodable < 0)
            *unencodable = i;
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            ++i;
    }
    out.truncate(to - out.data());
    return out;
}

QString fromWindows1252(QByteArrayView bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    QChar *to = text.data();
    for (const char byte : bytes) {
        const auto b = uchar(byte);
        const char16_t high = b >= 0x80 && b < 0xA0 ? kHighRange[b - 0x80] : 0;
        *to++ = QChar(high ? high : char16_t(b));
    }
    return text;
}

QString xmlCharacters(QStringView text)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        const char16_t u = c.unicode();
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            out += c;
            out += text.at(++i);
        } else if (!((u < 0x20 && u != u'\t' && u != u'\n' && u != u'\r') || c.isSurrogate()
                     || u == 0xFFFE || u == 0xFFFF)) {
            out += c;
        }
    }
    return out;
}

QString xmlAttributeEscaped(QStringView value)
{
    QString out;
    out.reserve(value.size());
    for (const QChar c : xmlCharacters(value)) {
        switch (c.unicode()) {
        case u'&': out += QLatin1String("&amp;"); break;
        case u'<': out += QLatin1String("&lt;"); break;
        case u'>': out += QLatin1String("&gt;"); break;
        case u'"': out += QLatin1String("&quot;"); break;
        case u'\t': out += QLatin1String("&#9;"); break;
        case u'\n': out += QLatin1String("&#10;"); break;
        case u'\r': out += QLatin1String("&#13;"); break;
        default: out += c;
        }
    }
    return out;
}

} // namespace codegen
