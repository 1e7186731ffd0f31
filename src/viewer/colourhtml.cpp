#include "colourhtml.h"

namespace viewer {

QString escapeHtml(QStringView text)
{
    QString escaped;
    escaped.reserve(text.size() + text.size() / 8);
    for (const QChar ch : text) {
        switch (ch.unicode()) {
        case u'&':
            escaped += u"&amp;";
            break;
        case u'<':
            escaped += u"&lt;";
            break;
        case u'>':
            escaped += u"&gt;";
            break;
        case u'"':
            escaped += u"&quot;";
            break;
        default:
            escaped += ch;
        }
    }
    return escaped;
}

QString colouredHtml(QStringView text, const std::vector<Colour> &colours,
                     const QString &title)
{
    Q_ASSERT(qsizetype(colours.size()) == text.size());
    QString html;
    html.reserve(text.size() * 2 + 256);
    html += u"<!DOCTYPE html>\n<html>\n<head>\n<meta charset=\"utf-8\">\n<title>";
    html += escapeHtml(title);
    html += u"</title>\n</head>\n<body>\n<pre>";
    for (const ColourRun &run : colourRuns(colours)) {
        html += u"<span style=\"color:";
        html += QStringLiteral("#%1").arg(rgb(run.colour) & 0xffffffu, 6, 16, QChar(u'0'));
        html += u"\">";
        html += escapeHtml(text.mid(run.start, run.length));
        html += u"</span>";
    }
    html += u"</pre>\n</body>\n</html>\n";
    return html;
}

} // namespace viewer
