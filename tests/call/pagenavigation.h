#pragma once

#include "call/behaviour.h"
#include "call/nodemoves.h"
#include "model/flowtree.h"

#include <QFile>
#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <QStringList>

// The navigation a generated WTE page writes, section by section, in the same words as the
// call's moves (movesFor), so that the two can be compared as sets:
//   "jump #a"  a plain window.navigate, "key K #a" a menu entry, "timeout #a" and
//   "error #a" the menu's targets, "voicemail" the hand-over to the voice-mail page,
//   "disconnect" the hang-up.
struct PageSection
{
    QString label;
    QSet<QString> navigation;
};

inline QList<PageSection> readPageSections(const QString &path)
{
    QList<PageSection> sections;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return sections;
    static const QRegularExpression begin(QStringLiteral("^<% '\"(.*)\" begin here %>$"));
    static const QRegularExpression navigate(
        QStringLiteral("window\\.navigate\\(\"([^\"]*)\"\\)"));
    static const QRegularExpression entry(
        QStringLiteral("<a accesskey=\"(\\d)\" href=\"([^\"]*)\"></a>"));
    for (const QByteArray &raw : file.readAll().split('\n')) {
        const QString line = QString::fromLatin1(raw).trimmed();
        const auto b = begin.match(line);
        if (b.hasMatch()) {
            sections.append({b.captured(1), {}});
            continue;
        }
        if (sections.isEmpty())
            continue;
        QSet<QString> &nav = sections.last().navigation;
        if (line.contains(u"itbasiccallcontrol.disconnect")) {
            nav.insert(QStringLiteral("disconnect"));
        } else if (line.startsWith(u"<menu")) {
            auto it = navigate.globalMatch(line);
            nav.insert(QStringLiteral("timeout ") + it.next().captured(1));
            nav.insert(QStringLiteral("error ") + it.next().captured(1));
        } else if (const auto e = entry.match(line); e.hasMatch()) {
            nav.insert(QStringLiteral("key ") + e.captured(1) + u' ' + e.captured(2));
        } else if (const auto n = navigate.match(line); n.hasMatch()) {
            nav.insert(n.captured(1).endsWith(u".asp") ? QStringLiteral("voicemail")
                                                       : QStringLiteral("jump ") + n.captured(1));
        }
    }
    return sections;
}

inline QString pageAnchor(const model::FlowNode *node)
{
    return u'#' + node->text.toLower().replace(u' ', u'-');
}

// The call's moves of a node in the page's words.
inline QSet<QString> movesFor(const call::NodeMoves &moves)
{
    QSet<QString> words;
    for (const call::Move &m : moves.moves) {
        if (m.outcome == call::Outcome::EndsCall)
            words.insert(QStringLiteral("disconnect"));
        else if (m.outcome == call::Outcome::VoiceMail)
            words.insert(QStringLiteral("voicemail"));
        if (!m.target)
            continue;
        static const char *const kTrigger[] = {"jump ", "key ", "timeout ", "error "};
        const QString key = m.trigger == call::Trigger::OptionKey ? m.key + u' ' : QString();
        words.insert(QLatin1String(kTrigger[int(m.trigger)]) + key + pageAnchor(m.target));
    }
    return words;
}
