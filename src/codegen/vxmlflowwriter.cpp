#include "vxmlflowwriter.h"

#include "linesink.h"
#include "remotepage.h"
#include "templatefill.h"
#include "textencoding.h"
#include "vxmltemplates.h"

#include "call/behaviour.h"
#include "call/callsettings.h"
#include "call/nodemoves.h"
#include "model/flowtree.h"

#include <QRegularExpression>
#include <QUrl>

namespace codegen {

using namespace vxmltemplates;

namespace {

// The twelve keys of a telephone keypad, as DTMF grammar tokens.
constexpr QStringView kKeypad = u"0123456789*#";

// Grammar items for every keypad key but `except`.
QString keyItems(const QString &except = QString())
{
    QString items;
    for (const QChar key : kKeypad) {
        if (except != key)
            items += QStringLiteral("<item>%1</item>").arg(key);
    }
    return items;
}

// The terminator as the platform can hear it: a keypad key, or none.
QString keypadTerminator(const QString &terminator)
{
    return terminator.size() == 1 && kKeypad.contains(terminator.front()) ? terminator
                                                                          : QString();
}

QString seconds(int value)
{
    return QString::number(value);
}

// A voice file's name as a path segment: everything but the unreserved characters
// percent-encoded as UTF-8, so that blanks, quotes and non-Latin letters make an address.
QString uriSegment(const QString &name)
{
    return QString::fromLatin1(QUrl::toPercentEncoding(xmlCharacters(name)));
}

// Text for a comment on one line: "--" cannot occur in one, nor can it end with "-".
QString commentText(const QString &text)
{
    QString out = singleLine(xmlCharacters(text));
    while (out.contains(QLatin1String("--")))
        out.replace(QLatin1String("--"), QLatin1String("- -"));
    return out.endsWith(u'-') ? out + u' ' : out;
}

} // namespace

VxmlFlowWriter::VxmlFlowWriter(const model::FlowTree &tree, LineSink &sink)
    : m_tree(tree)
    , m_sink(sink)
{
}

QString VxmlFlowWriter::dialogId(const model::FlowTree &tree, const model::FlowNode &node)
{
    static const QRegularExpression scheme(QStringLiteral("^([0-9]+)_$"));
    const auto match = scheme.match(node.key);
    if (match.hasMatch())
        return u'n' + match.captured(1);
    return u'x' + QString::number(tree.indexOf(&node));
}

void VxmlFlowWriter::write(const QStringList &lines)
{
    for (const QString &line : lines)
        m_sink.writeCodeLine(line);
}

void VxmlFlowWriter::beginDocument()
{
    write(fill(kHead));
    // One variable a session name, in the order of the call functions.
    QStringList names;
    for (int f = 0; f < int(call::Function::Unknown); ++f) {
        const QString name = call::behaviourOf(call::Function(f)).session();
        if (!name.isEmpty() && !names.contains(name))
            names << name;
    }
    for (const QString &name : std::as_const(names))
        write(fill(kEntryVar, {{u"name", name}}));
}

void VxmlFlowWriter::endDocument()
{
    write(fill(kTail));
}

QString VxmlFlowWriter::transition(const call::Move &move) const
{
    switch (move.outcome) {
    case call::Outcome::ToNode:
        return fillLine(kGoto, {{u"id", dialogId(m_tree, *move.target)}});
    case call::Outcome::EndsCall:
        return fillLine(kDisconnect);
    case call::Outcome::VoiceMail:
        return fillLine(kGotoPage, {{u"page", remotePageFileName(GenerationTarget::Vxml)}});
    case call::Outcome::NoNextStep:
    case call::Outcome::NoSection:
        break;
    }
    return fillLine(kExit);
}

void VxmlFlowWriter::emitNode(const model::FlowNode &node, const model::NodeValues &values)
{
    const call::NodeMoves moves = call::movesOf(m_tree, node);
    const call::Behaviour &b = *moves.behaviour;
    write(fill(kNodeComment, {{u"key", commentText(node.key)},
                              {u"text", commentText(node.text)}}));

    // The settings of the spoken flavour; the other flavour gives the voice file.
    const auto settings = call::CallSettings::from(values, node.text, call::Flavour::Tts);
    QString audio;
    if (b.prompt == call::PromptSource::NodePrompt) {
        const auto file = call::CallSettings::from(values, node.text, call::Flavour::Wave);
        audio = fillLine(kAudio, {{u"file", uriSegment(file.prompt)},
                                  {u"text", xmlAttributeEscaped(settings.prompt)}});
    }
    const bool onlyPlays = b.action == call::Action::Answer || b.action == call::Action::Prompt;
    if (moves.offersOptions && onlyPlays)
        writeMenu(moves, settings, audio);
    else
        writeForm(moves, settings, audio);
    for (const call::Move &m : moves.moves) {
        if (m.outcome == call::Outcome::VoiceMail)
            m_remoteNeeded = true;
    }
}

void VxmlFlowWriter::writeMenu(const call::NodeMoves &moves,
                               const call::CallSettings &settings, const QString &audio)
{
    const QString id = dialogId(m_tree, *moves.node);
    write(fill(kMenuStart, {{u"id", id}, {u"timeout", seconds(settings.firstTimeout)}}));
    if (!audio.isEmpty())
        write(fill(kMenuPrompt, {{u"audio", audio}}));
    for (const call::Move &m : moves.moves) {
        switch (m.trigger) {
        case call::Trigger::OptionKey:
            write(fill(kChoice, {{u"key", m.key}, {u"id", dialogId(m_tree, *m.target)}}));
            break;
        case call::Trigger::TimeOut:
            write(fill(kMenuNoInput, {{u"transition", transition(m)}}));
            break;
        case call::Trigger::OtherKey:
            write(fill(kMenuNoMatch, {{u"transition", transition(m)}}));
            break;
        case call::Trigger::AfterAction:
            Q_ASSERT_X(false, "VxmlFlowWriter", "a menu has no move without a key");
            break;
        }
    }
    write(fill(kMenuEnd));
}

void VxmlFlowWriter::writeForm(const call::NodeMoves &moves,
                               const call::CallSettings &settings, const QString &audio)
{
    const call::Behaviour &b = *moves.behaviour;
    write(fill(kFormStart, {{u"id", dialogId(m_tree, *moves.node)}}));
    if (moves.offersOptions)
        write(fill(kChoiceVar));

    bool audioPlayed = false;
    if (b.action == call::Action::CollectDigits) {
        writeEntry(moves, settings, audio);
        audioPlayed = true;
    } else if (b.action == call::Action::Record) {
        writeRecord(moves, settings, audio);
        audioPlayed = true;
    }
    if (moves.offersOptions && !(b.collectsDigits() && b.entryIsOption)) {
        write(fill(kOptionField, {{u"id", dialogId(m_tree, *moves.node)},
                                  {u"first", seconds(settings.firstTimeout)},
                                  {u"keys", keyItems()}}));
    }

    write(fill(kBlockStart));
    auto statement = [this](const QString &line) {
        write(fill(kBlockLine, {{u"statement", line}}));
    };
    if (!audioPlayed && !audio.isEmpty())
        statement(audio);
    switch (b.action) {
    case call::Action::HearRecording:
        statement(fillLine(kHearRecording));
        break;
    case call::Action::SaveRecording:
        statement(fillLine(kSaveRecording));
        break;
    case call::Action::DeleteRecording:
        for (const QString &line : fill(kDeleteRecording))
            statement(line);
        break;
    default:
        break;
    }
    if (moves.offersOptions)
        writeDispatch(moves);
    else
        statement(transition(*moves.afterAction()));
    write(fill(kBlockEnd));
    write(fill(kFormEnd));
}

void VxmlFlowWriter::writeEntry(const call::NodeMoves &moves,
                                const call::CallSettings &settings, const QString &audio)
{
    const call::Behaviour &b = *moves.behaviour;
    const QString terminator = keypadTerminator(settings.terminator);
    const QString repeat = settings.maxKeys > 0 ? QStringLiteral("1-%1").arg(settings.maxKeys)
                                                : QStringLiteral("1-");
    write(fill(kEntryStart, {{u"id", dialogId(m_tree, *moves.node)},
                             {u"termchar", terminator},
                             {u"first", seconds(settings.firstTimeout)},
                             {u"inter", seconds(settings.interTimeout)},
                             {u"repeat", repeat},
                             {u"keys", keyItems(terminator)}}));
    write(fill(kItemPrompt, {{u"audio", audio}}));
    // The entry itself picks the child when the node offers its children that way.
    const bool chooses = b.entryIsOption && moves.offersOptions;
    write(fill(kEntryFilled, {{u"session", b.session()}}));
    if (chooses)
        write(fill(kEntryChosen, {{u"session", b.session()}}));
    write(fill(kEntryNoInput, {{u"session", b.session()}}));
    if (chooses)
        write(fill(kEntryNoneChosen));
    write(fill(kEntryEnd));
}

void VxmlFlowWriter::writeRecord(const call::NodeMoves &moves,
                                 const call::CallSettings &settings, const QString &audio)
{
    write(fill(kRecordStart, {{u"max", seconds(settings.maxRecordSeconds)},
                              {u"silence", seconds(settings.interTimeout)}}));
    const QString terminator = keypadTerminator(settings.terminator);
    if (!terminator.isEmpty())
        write(fill(kRecordTerminator,
                   {{u"id", dialogId(m_tree, *moves.node)}, {u"key", terminator}}));
    write(fill(kItemPrompt, {{u"audio", audio}}));
    write(fill(kRecordEnd));
}

void VxmlFlowWriter::writeDispatch(const call::NodeMoves &moves)
{
    bool first = true;
    for (const call::Move &m : moves.moves) {
        switch (m.trigger) {
        case call::Trigger::OptionKey:
            write(fill(first ? kIfOption : kElseIfOption, {{u"key", m.key}}));
            break;
        case call::Trigger::TimeOut:
            write(fill(kElseIfTimeOut));
            break;
        case call::Trigger::OtherKey:
            write(fill(kElse));
            break;
        case call::Trigger::AfterAction:
            Q_ASSERT_X(false, "VxmlFlowWriter", "a choice has no move without a key");
            break;
        }
        write(fill(kBranch, {{u"transition", transition(m)}}));
        first = false;
    }
    write(fill(kEndIf));
}

} // namespace codegen
