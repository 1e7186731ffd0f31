#include "rules.h"

#include "checktarget.h"
#include "flowfacts.h"

#include "call/behaviour.h"
#include "call/callsettings.h"
#include "model/flowtree.h"

#include <QStringList>

#include <algorithm>

namespace checker {

using call::Function;

void Findings::at(const model::FlowNode *node, const QString &message, const QString &column)
{
    Problem p;
    p.key = node->key;
    p.text = node->text;
    p.message = message;
    p.column = column;
    items.push_back({node, std::move(p)});
}

void Findings::atFlow(const QString &message)
{
    Problem p;
    p.message = message;
    items.push_back({nullptr, std::move(p)});
}

void Findings::atRow(const QString &key, const QString &text, const QString &message)
{
    Problem p;
    p.key = key;
    p.text = text;
    p.message = message;
    p.leftOut = true;
    items.push_back({nullptr, std::move(p)});
}

namespace {

const QString kAnswerCall = QStringLiteral("answer call");

// "play main greetings (2_)"
QString nameOf(const model::FlowNode *node)
{
    return QStringLiteral("\"%1\" (%2)").arg(node->text, node->key);
}

QString namesOf(const std::vector<const model::FlowNode *> &nodes)
{
    QStringList names;
    for (const model::FlowNode *n : nodes)
        names << nameOf(n);
    return names.join(QStringLiteral(", "));
}

bool isPositiveWhole(const QString &text)
{
    const QString t = text.trimmed();
    if (t.isEmpty())
        return false;
    for (const QChar c : t) {
        if (!c.isDigit() || c.unicode() > u'9')
            return false;
    }
    return t.toLongLong() > 0;
}

template<typename Visit>
void forReachable(const FlowFacts &facts, Visit visit)
{
    for (const NodeFacts &n : facts.nodes) {
        if (n.reachable)
            visit(n);
    }
}

// The nodes whose page section plays the node's own prompt.
template<typename Visit>
void forReachablePrompts(const FlowFacts &facts, Visit visit)
{
    forReachable(facts, [&visit](const NodeFacts &n) {
        if (n.behaviour().prompt == call::PromptSource::NodePrompt)
            visit(n);
    });
}

// --- structure --------------------------------------------------------------------------

void emptyFlow(const FlowFacts &facts, Findings &out)
{
    if (facts.nodes.empty())
        out.atFlow(
            QStringLiteral("The flow has no node: add an \"answer call\" node to start it."));
}

void answerCallFirst(const FlowFacts &facts, Findings &out)
{
    if (!facts.start || call::behaviourOf(facts.start->text).function == Function::AnswerCall)
        return;
    out.at(facts.start, QStringLiteral("A call starts here and the first node only answers it, "
                                       "so this step is never carried out: start the flow "
                                       "with an \"answer call\" node."));
}

void extraTopLevel(const FlowFacts &facts, Findings &out)
{
    for (const model::FlowNode *node : facts.tree->topLevel()) {
        if (node == facts.start)
            continue;
        out.at(node, QStringLiteral("Only the first top-level node is called: this one writes "
                                    "a second page head into the call page and it and its "
                                    "nodes are never reached; move them under the first "
                                    "node or remove them."));
    }
}

void secondAnswerCall(const FlowFacts &facts, Findings &out)
{
    for (const NodeFacts &n : facts.nodes) {
        if (n.node->parent && n.node->text == kAnswerCall)
            out.at(n.node, QStringLiteral("Only the first node answers the call: below the top "
                                          "the pages have no section for \"answer call\" and a "
                                          "call that gets here goes no further; remove it."));
    }
}

void unknownFunction(const FlowFacts &facts, Findings &out)
{
    for (const NodeFacts &n : facts.nodes) {
        if (n.behaviour().function != Function::Unknown || n.node->text == kAnswerCall)
            continue;
        // A text that differs from a call function only in case or blanks is a rename away.
        const QString loose = n.node->text.simplified();
        QString meant;
        for (int f = 0; f < int(Function::Unknown); ++f) {
            const QString name = call::behaviourOf(Function(f)).functionName();
            if (Function(f) != Function::AnswerCall
                && name.compare(loose, Qt::CaseInsensitive) == 0)
                meant = name;
        }
        if (!meant.isEmpty()) {
            out.at(n.node, QStringLiteral("The pages know a call function by its exact text, so "
                                          "they have no section for this node and a call stops "
                                          "here: rename it \"%1\".")
                               .arg(meant));
        } else {
            out.at(n.node, QStringLiteral("\"%1\" is no call function, so the pages have no "
                                          "section for it and a call stops here: replace it "
                                          "with a call function from the palette.")
                               .arg(n.node->text));
        }
    }
}

void leftOutRow(const FlowFacts &facts, Findings &out)
{
    using Reason = model::LeftOutRow::Reason;
    for (const model::LeftOutRow &r : facts.leftOut) {
        QString why;
        switch (r.reason) {
        case Reason::ParentMissing:
            why = QStringLiteral("no row of the table has its parent's key %1").arg(r.parentKey);
            break;
        case Reason::ParentLater:
            why = QStringLiteral("its parent %1 comes after it in the table").arg(r.parentKey);
            break;
        case Reason::ParentLeftOut:
            why = QStringLiteral("its parent %1 is left out too").arg(r.parentKey);
            break;
        case Reason::Cycle:
            why = QStringLiteral("its parents lead back to it (parent %1)").arg(r.parentKey);
            break;
        case Reason::KeyTaken:
            why = QStringLiteral("an earlier row has the key %1 too").arg(r.key);
            break;
        case Reason::BadImage:
            why = QStringLiteral("its image index is no whole number from -32768 to 32767");
            break;
        }
        out.atRow(r.key, r.text,
                  QStringLiteral("This row of the table is not in the flow, as %1; a save "
                                 "drops it: add the step again where it belongs.")
                      .arg(why));
    }
}

// --- routes -----------------------------------------------------------------------------

void overSixChildren(const FlowFacts &facts, Findings &out)
{
    forReachable(facts, [&out](const NodeFacts &n) {
        if (!n.moves.offersOptions || n.moves.unreachableChildren.empty())
            return;
        out.at(n.node, QStringLiteral("The caller can key options 1 to 6 only, so %1 can never "
                                      "be reached: move them under another node.")
                           .arg(namesOf(n.moves.unreachableChildren)));
    });
}

void childrenNeverReached(const FlowFacts &facts, Findings &out)
{
    forReachable(facts, [&out](const NodeFacts &n) {
        const call::Behaviour &b = n.behaviour();
        if (b.goesOnByChildren() || b.function == Function::Unknown
            || n.moves.unreachableChildren.empty())
            return;
        QString why;
        switch (b.continuation) {
        case call::Continuation::EndsCall:
            why = QStringLiteral("The call ends here");
            break;
        case call::Continuation::ToVoiceMail:
            why = QStringLiteral("The call leaves for the voice mail here");
            break;
        default:
            why = QStringLiteral("The call goes back to the parent from here");
            break;
        }
        out.at(n.node, QStringLiteral("%1, so its children %2 are never reached: move them "
                                      "where the call goes on.")
                           .arg(why, namesOf(n.moves.unreachableChildren)));
    });
}

void deadEnd(const FlowFacts &facts, Findings &out)
{
    forReachable(facts, [&out](const NodeFacts &n) {
        const call::Move *next = n.moves.afterAction();
        if (!next || next->outcome != call::Outcome::NoNextStep || n.behaviour().entryIsOption)
            return;
        out.at(n.node, QStringLiteral("The flow has no next step after this node, so the call "
                                      "stays here in silence: add the node that should "
                                      "follow, or a hangup."));
    });
}

void optionsWithoutChildren(const FlowFacts &facts, Findings &out)
{
    forReachable(facts, [&out](const NodeFacts &n) {
        if (n.behaviour().entryIsOption && n.node->childCount() == 0)
            out.at(n.node, QStringLiteral("The caller is asked for an option but there is none "
                                          "to choose: add a child for each option (1 to 6)."));
    });
}

void noHangup(const FlowFacts &facts, Findings &out)
{
    if (!facts.start)
        return;
    for (const NodeFacts &n : facts.nodes) {
        if (n.reachable && n.behaviour().function == Function::Hangup)
            return;
    }
    out.at(facts.start, QStringLiteral("No \"hangup\" can be reached from the answer call, so "
                                       "the flow never ends a call itself: add a hangup where "
                                       "the call is done."));
}

void silentLoop(const FlowFacts &facts, Findings &out)
{
    for (const std::vector<const model::FlowNode *> &loop : facts.silentLoops) {
        const NodeFacts *first = facts.find(loop.front());
        if (!first || !first->reachable)
            continue;
        out.at(loop.front(),
               QStringLiteral("The call runs round %1 and back for ever without waiting for the "
                              "caller: put a node that collects digits, records or offers "
                              "options on the way.")
                   .arg(namesOf(loop)));
    }
}

void messageWithoutRecording(const FlowFacts &facts, Findings &out)
{
    forReachable(facts, [&out](const NodeFacts &n) {
        const call::Action action = n.behaviour().action;
        if (action != call::Action::HearRecording && action != call::Action::SaveRecording
            && action != call::Action::DeleteRecording && action != call::Action::Rerecord)
            return;
        // Every route to a node passes its ancestors, and only theirs for certain.
        for (const model::FlowNode *up = n.node->parent; up; up = up->parent) {
            if (call::behaviourOf(*up).records())
                return;
        }
        out.at(n.node, QStringLiteral("No \"record message\" comes before this node on its "
                                      "route, so there is no recording to work on: place it "
                                      "below a record message node."));
    });
}

// --- properties -------------------------------------------------------------------------

const QString kVoiceFile = QStringLiteral("voicefile");
const QString kPromptText = QStringLiteral("prompttxt");

// Why the node's voice file cannot be played, and how to mend it; empty when it can.
QString voiceFileFault(const FlowFacts &facts, const NodeFacts &n)
{
    const QString file = n.values.voicefile.trimmed();
    if (n.stored(kVoiceFile).isNull())
        return QStringLiteral("No voice file is chosen, so the page plays %1: choose the "
                              "recording for this step.")
            .arg(n.values.voicefile);
    if (file.isEmpty() || file.compare(QLatin1String(".wav"), Qt::CaseInsensitive) == 0)
        return QStringLiteral("No voice file is chosen (voicefile is \"%1\"): choose the "
                              "recording for this step from waves/.")
            .arg(n.values.voicefile);
    if (facts.waveFiles && !facts.waveFiles->contains(file.toLower()))
        return QStringLiteral("The voice file %1 is not in waves/: put the recording there or "
                              "choose another file.")
            .arg(file);
    return {};
}

// What is wrong with the node's prompt text as the caller would hear it; empty for nothing.
QString promptTextFault(const NodeFacts &n)
{
    const QString stored = n.stored(kPromptText);
    if (stored.isNull())
        return QStringLiteral("No prompt text is set, so the caller hears \"%1\": type what "
                              "the caller should hear.")
            .arg(n.values.prompttxt);
    if (stored.trimmed().isEmpty())
        return QStringLiteral("The prompt text is empty, so the caller hears nothing: type "
                              "what the caller should hear.");
    if (stored.trimmed().compare(QLatin1String("Type text to be spoken here."),
                                 Qt::CaseInsensitive)
        == 0)
        return QStringLiteral("The prompt text is still \"%1\": type what the caller should "
                              "hear.")
            .arg(stored.trimmed());
    return {};
}

void voiceFile(const FlowFacts &facts, Findings &out)
{
    forReachablePrompts(facts, [&](const NodeFacts &n) {
        if (const QString fault = voiceFileFault(facts, n); !fault.isEmpty())
            out.at(n.node, fault, kVoiceFile);
    });
}

void promptText(const FlowFacts &facts, Findings &out)
{
    forReachablePrompts(facts, [&](const NodeFacts &n) {
        if (const QString fault = promptTextFault(n); !fault.isEmpty())
            out.at(n.node, fault, kPromptText);
    });
}

// Where the prompt text stands in for a voice file that cannot be played, it is heard
// exactly there.
void promptFallback(const FlowFacts &facts, Findings &out)
{
    forReachablePrompts(facts, [&](const NodeFacts &n) {
        const QString fault = promptTextFault(n);
        if (!fault.isEmpty() && !voiceFileFault(facts, n).isEmpty())
            out.at(n.node, QStringLiteral("The voice file cannot be played, so the prompt "
                                          "text is spoken in its place. ")
                               + fault,
                   kPromptText);
    });
}

void waitNumbers(const FlowFacts &facts, Findings &out)
{
    struct Wait
    {
        const char *column;
        const char *what;
    };
    static const Wait kWaits[] = {
        {"inputmaxlen", "the number of keys to collect (it is kept in the flow table)"},
        {"FirstTimeoutInterval", "the seconds the caller has for the first key"},
        {"InterTimeoutInterval", "the seconds the caller has between keys"},
    };
    forReachable(facts, [&out](const NodeFacts &n) {
        const QStringList used = call::settingColumns(n.behaviour());
        for (const Wait &w : kWaits) {
            const QString column = QString::fromLatin1(w.column);
            const QString value = n.stored(column);
            if (!used.contains(column) || value.isNull() || isPositiveWhole(value))
                continue;
            out.at(n.node, QStringLiteral("%1 is \"%2\", so the caller cannot key the entry: "
                                          "set %3, a whole number from 1.")
                               .arg(column, value, QLatin1String(w.what)),
                   column);
        }
    });
}

void recordLength(const FlowFacts &facts, Findings &out)
{
    const QString column = QStringLiteral("MaxReclen");
    forReachable(facts, [&](const NodeFacts &n) {
        const QString value = n.stored(column);
        if (!call::settingColumns(n.behaviour()).contains(column) || value.isNull()
            || isPositiveWhole(value))
            return;
        out.at(n.node, QStringLiteral("MaxReclen is \"%1\", so how long the caller may speak "
                                      "is left to chance: set the longest recording in "
                                      "seconds, a whole number from 1.")
                           .arg(value),
               column);
    });
}

bool isPhoneKey(const QString &key)
{
    return key.size() == 1 && QStringLiteral("0123456789*#").contains(key);
}

void terminator(const FlowFacts &facts, Findings &out)
{
    const QString column = QStringLiteral("InputTerm");
    forReachable(facts, [&](const NodeFacts &n) {
        const QString value = n.stored(column);
        if (!call::settingColumns(n.behaviour()).contains(column) || value.isNull()
            || isPhoneKey(value))
            return;
        out.at(n.node, QStringLiteral("InputTerm is \"%1\", which no telephone key gives, so "
                                      "only a full entry or the wait running out ends the "
                                      "input: set 0-9, * or # (usually #).")
                           .arg(value),
               column);
    });
}

void terminatorIsOption(const FlowFacts &facts, Findings &out)
{
    forReachable(facts, [&out](const NodeFacts &n) {
        if (!n.behaviour().collectsDigits() || !n.moves.offersOptions)
            return;
        const QString term = n.values.inputTerm.left(1);
        for (const call::Move &m : n.moves.moves) {
            if (m.trigger == call::Trigger::OptionKey && m.key == term) {
                out.at(n.node, QStringLiteral("InputTerm %1 is also the key of option %1, %2: "
                                              "the key ends the entry instead of choosing it; "
                                              "set # or * as the terminator.")
                                   .arg(term, nameOf(m.target)),
                       QStringLiteral("InputTerm"));
            }
        }
    });
}

// --- voice mail -------------------------------------------------------------------------

const model::FlowNode *firstVoiceMailNode(const FlowFacts &facts)
{
    for (const NodeFacts &n : facts.nodes) {
        if (n.reachable && n.behaviour().function == Function::ProcessRecordedMessages)
            return n.node;
    }
    return nullptr;
}

void noMembers(const FlowFacts &facts, Findings &out)
{
    const model::FlowNode *node = firstVoiceMailNode(facts);
    if (!node || !facts.members)
        return;
    if (!facts.membersError.isEmpty()) {
        out.at(node, QStringLiteral("The members cannot be read (%1), so nobody can log in to "
                                    "the voice mail: start the designer once to create "
                                    "memberDB.mdb, or mend it.")
                         .arg(facts.membersError));
    } else if (facts.members->isEmpty()) {
        out.at(node, QStringLiteral("memberDB.mdb has no member, so nobody can log in to the "
                                    "voice mail: add the members in the member form."));
    }
}

void mailboxFolders(const FlowFacts &facts, Findings &out)
{
    const model::FlowNode *node = firstVoiceMailNode(facts);
    if (!node || !facts.members)
        return;
    QStringList missing;
    for (const MailboxFacts &m : *facts.members) {
        if (!m.hasFolder)
            missing << m.mailbox;
    }
    // Mailbox numbers in their order.
    std::sort(missing.begin(), missing.end(), [](const QString &a, const QString &b) {
        return a.size() != b.size() ? a.size() < b.size() : a < b;
    });
    if (missing.size() == 1) {
        out.at(node, QStringLiteral("Mailbox %1 has no folder in mboxes/, so its name, greeting "
                                    "and messages have nowhere to be kept: create mboxes/%1.")
                         .arg(missing.first()));
    } else if (!missing.isEmpty()) {
        out.at(node, QStringLiteral("Mailboxes %1 have no folder in mboxes/, so their names, "
                                    "greetings and messages have nowhere to be kept: create "
                                    "a folder named by each mailbox there.")
                         .arg(missing.join(QStringLiteral(", "))));
    }
}

// --- sources ----------------------------------------------------------------------------

void unreadable(const FlowFacts &facts, Findings &out)
{
    for (const QString &error : facts.sourceErrors)
        out.atFlow(error);
}

constexpr unsigned kEvery = 0;
constexpr Severity E = Severity::Error;
constexpr Severity W = Severity::Warning;

const Rule kRules[] = {
    {"unreadable", E, kEvery, unreadable},
    {"empty-flow", E, kEvery, emptyFlow},
    {"answer-call-first", W, kEvery, answerCallFirst},
    {"extra-top-level", E, kEvery, extraTopLevel},
    {"second-answer-call", E, kEvery, secondAnswerCall},
    {"unknown-function", E, kEvery, unknownFunction},
    {"left-out-row", E, kEvery, leftOutRow},
    {"no-hangup", W, kEvery, noHangup},
    {"over-six-children", E, kEvery, overSixChildren},
    {"children-never-reached", W, kEvery, childrenNeverReached},
    {"dead-end", W, kEvery, deadEnd},
    {"options-without-children", E, kEvery, optionsWithoutChildren},
    {"silent-loop", E, kEvery, silentLoop},
    {"message-without-recording", W, kEvery, messageWithoutRecording},
    {"voice-file", W, PlaysVoiceFiles, voiceFile},
    {"prompt-text", W, SpeaksPromptText, promptText},
    {"prompt-fallback", W, FallsBackToPromptText, promptFallback},
    {"wait-numbers", E, kEvery, waitNumbers},
    {"record-length", W, kEvery, recordLength},
    {"terminator", W, kEvery, terminator},
    {"terminator-is-option", E, kEvery, terminatorIsOption},
    {"no-members", E, HandsToVoiceMail, noMembers},
    {"mailbox-folders", W, HandsToVoiceMail, mailboxFolders},
};

} // namespace

std::span<const Rule> rules()
{
    return kRules;
}

} // namespace checker
