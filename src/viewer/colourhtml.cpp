#include "colourhtml.h"

namespace viewer {

QString colouredHtml(QStringView text, const std::vector<Colour> &colours,
                     const QString &title)
{
    Q_ASSERT(qsizetype(colours.size()) == text.size());
    QString html;
    html.reserve(text.size() * 2 + 256);
    html += u"<!DOCTYPE html>\n<html>\n<head>\n<meta charset=\"utf-8\">\n<title>";
    html += title.toHtmlEscaped();
    html += u"</title>\n</head>\n<body>\n<pre>";
    for (const ColourRun &run : colourRuns(colours)) {
        html += u"<span style=\"color:";
        html += QStringLiteral("#%1").arg(rgb(run.colour) & 0xffffffu, 6, 16, QChar(u'0'));
        html += u"\">";
        html += text.mid(run.start, run.length).toString().toHtmlEscaped();
        html += u"</span>";
    }
    html += u"</pre>\n</body>\n</html>\n";
    return html;
}

} // namespace viewer
