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
// call's moves, so that the two can be compared as sets:
//   "jump #a"  a plain window.navigate, "key K #a" a menu entry, "timeout #a" and
//   "error #a" the menu's targets, "voicemail" the hand-over to the voice-mail page,
//   "disconnect" the hang-up.
struct PageSection
{
    QString label;
    QSet<QString> navigation;
    QString prompt; // the voice-file line
    // A jump or menu stands before the section's entry form: the call leaves untaken.
    bool leavesBeforeEntry = false;
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
            sections.append({b.captured(1), {}, {}, false});
            continue;
        }
        if (sections.isEmpty())
            continue;
        PageSection &section = sections.last();
        QSet<QString> &nav = section.navigation;
        if (line.startsWith(u"<form id="))
            section.leavesBeforeEntry = !nav.isEmpty();
        if (line.startsWith(u"<p voicefile")) {
            section.prompt = line;
        } else if (line.contains(u"itbasiccallcontrol.disconnect")) {
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

// The call's moves of a node in the page's words, each target named by `landing`.
template<typename Landing>
QSet<QString> movesFor(const call::NodeMoves &moves, const Landing &landing)
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
        words.insert(QLatin1String(kTrigger[int(m.trigger)]) + key + landing(m.target));
    }
    return words;
}

// How the wave page of a flow routes its calls, against the call rules. Sections follow the
// walk; a node that names no call function has none, and a hangup that plays what an
// earlier one plays is heard in that one's section. Each navigation of the page is resolved
// to the node whose section it lands in (a browser goes to the first anchor of a name),
// each move of the call to the node whose section plays its target. `voiceFiles` holds the
// hangups' voice files by key.
struct PageRouting
{
    int compared = 0; // the call's moves
    int faults = 0;   // sections that route, play or wait otherwise than the call
    QString firstFault;
};

inline PageRouting routePage(const model::FlowTree &tree, const QList<PageSection> &sections,
                             const QHash<QString, QString> &voiceFiles)
{
    PageRouting r;
    auto fault = [&r](const QString &why) {
        ++r.faults;
        if (r.firstFault.isEmpty())
            r.firstFault = why;
    };
    QHash<const model::FlowNode *, const model::FlowNode *> heardAt; // target -> section node
    QHash<QString, const model::FlowNode *> hangupByPrompt;
    QHash<QString, const model::FlowNode *> byLabel;
    const model::FlowNode *firstHangup = nullptr;
    std::vector<std::pair<const model::FlowNode *, qsizetype>> written;
    qsizetype next = 0;
    for (const model::FlowNode *node : tree.depthFirst()) {
        const call::Function function = call::behaviourOf(*node).function;
        if (function == call::Function::Unknown)
            continue;
        QString prompt;
        if (function == call::Function::Hangup) {
            prompt = voiceFiles.value(node->key, QStringLiteral("novoice.wav")).toLower();
            if (const model::FlowNode *first = hangupByPrompt.value(prompt)) {
                heardAt.insert(node, first);
                continue;
            }
            hangupByPrompt.insert(prompt, node);
            if (!firstHangup)
                firstHangup = node;
        }
        if (next == sections.size()) {
            fault(node->key + QStringLiteral(" has no section"));
            return r;
        }
        const PageSection &section = sections.at(next);
        if (!prompt.isEmpty() && !section.prompt.contains(u'\\' + prompt + u'"'))
            fault(node->key + QStringLiteral(" plays ") + section.prompt);
        if (section.leavesBeforeEntry)
            fault(node->key + QStringLiteral(" leaves before its entry is taken"));
        if (byLabel.contains(section.label))
            fault(node->key + QStringLiteral(" shares its anchor ") + section.label);
        else
            byLabel.insert(section.label, node);
        heardAt.insert(node, node);
        written.emplace_back(node, next++);
    }
    if (next != sections.size())
        fault(QStringLiteral("the page has sections no node has"));
    // The voice mail hands the call back to the page at "#hangup", the engine to the first.
    if (firstHangup && byLabel.value(QStringLiteral("hangup")) != firstHangup)
        fault(QStringLiteral("#hangup is not the first hangup's section"));
    auto keyOf = [](const model::FlowNode *n) { return n ? n->key : QStringLiteral("nowhere"); };
    for (const auto &[node, index] : written) {
        QSet<QString> page;
        for (const QString &word : sections.at(index).navigation) {
            const qsizetype hash = word.indexOf(u'#');
            page.insert(hash < 0 ? word
                                 : word.left(hash) + keyOf(byLabel.value(word.mid(hash + 1))));
        }
        const QSet<QString> call = movesFor(call::movesOf(tree, *node),
                                            [&](const model::FlowNode *target) {
                                                return keyOf(heardAt.value(target));
                                            });
        r.compared += int(call.size());
        if (page != call)
            fault(QStringLiteral("%1 goes to %2 on the page, to %3 in the call")
                      .arg(node->key, QStringList(page.values()).join(u", "),
                           QStringList(call.values()).join(u", ")));
    }
    return r;
}
