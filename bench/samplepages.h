#pragma once

// Pages shaped like the generated telephony pages (lower case, CR LF already turned into
// line feeds as the viewer holds them), of any size, for the colouring benchmark.

#include <QRandomGenerator>
#include <QString>
#include <QStringList>

namespace samples {

inline QString pageHead()
{
    return QStringLiteral(
        "<html>\n<head>\n"
        "<meta http-equiv=\"content-type\" content=\"text/html; charset=windows-1252\">\n"
        "<title>calltts</title>\n"
        "<link rel=stylesheet href=\"style.css\">\n"
        "</head>\n<body bgcolor=\"#ffffff\" text=\"#000000\" link=\"#0000ff\" "
        "vlink=\"#800080\" alink=\"#ff0000\">\n"
        "<% option explicit %>\n"
        "<% dim oconn, rs, sql %>\n"
        "<script language=vbscript>\n"
        "sub window_onload()\n  window.external.configuration.waitforcall\nend sub\n"
        "</script>\n");
}

inline QString nodeSection(int node, QRandomGenerator &random)
{
    static const QStringList functions{
        QStringLiteral("play main greetings"), QStringLiteral("get user id"),
        QStringLiteral("get password"),        QStringLiteral("get option"),
        QStringLiteral("record message"),      QStringLiteral("process recorded messages"),
        QStringLiteral("hangup")};
    const QString function = functions[int(random.bounded(functions.size()))];
    QString anchor = function;
    anchor.replace(u' ', u'-');
    anchor += u'-' + QString::number(node);
    QString s;
    s += QStringLiteral("<!-- ---------------------------------------- -->\n");
    s += QStringLiteral("<a name=\"%1\"></a>\n").arg(anchor);
    s += QStringLiteral("<% session(\"node\") = \"%1\" %>\n").arg(anchor);
    s += QStringLiteral("<table border=1 width=\"100%\" cellpadding=2 cellspacing=0 "
                        "bordercolor=\"#c0c0c0\">\n");
    s += QStringLiteral("<tr><td align=left valign=top colspan=2 class=prompt>"
                        "<p>%1</p></td></tr>\n").arg(function);
    s += QStringLiteral("<tr><td><img alt=\"wave\" src=\"waves/%1.wav\" width=16 height=16>"
                        "</td>\n").arg(anchor);
    s += QStringLiteral("<td><% =session(\"prompt%1\") %></td></tr>\n").arg(node);
    s += QStringLiteral("</table>\n");
    switch (random.bounded(4)) {
    case 0:
        s += QStringLiteral("<script language=vbscript>\n"
                            "sub digits%1_onchange()\n"
                            "  if len(digits%1.value) >= %2 then navigate \"#%3\"\n"
                            "end sub\n</script>\n")
                 .arg(node)
                 .arg(random.bounded(1, 9))
                 .arg(anchor);
        break;
    case 1:
        s += QStringLiteral("<% if session(\"count\") > %1 then %>\n"
                            "<p>too many attempts</p>\n<% end if %>\n")
                 .arg(random.bounded(1, 5));
        break;
    case 2:
        s += QStringLiteral("<script language=javascript>\nvar n = %1;\n</script>\n").arg(node);
        break;
    default:
        s += QStringLiteral("<p align=center><a href=\"#%1\">next</a></p>\n").arg(anchor);
        break;
    }
    return s;
}

// A page of about `size` characters (a little more: whole sections only).
inline QString generatedLikePage(qsizetype size, quint32 seed)
{
    QRandomGenerator random(seed);
    QString page = pageHead();
    for (int node = 1; page.size() < size - 16; ++node)
        page += nodeSection(node, random);
    page += QStringLiteral("</body>\n</html>\n");
    return page;
}

} // namespace samples
