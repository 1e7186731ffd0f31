#include "flowemitter.h"

#include "linesink.h"
#include "narrator.h"
#include "pagetemplates.h"
#include "templatefill.h"
#include "textencoding.h"

#include "call/behaviour.h"
#include "call/nodemoves.h"
#include "model/flowtree.h"

#include <algorithm>
#include <utility>

namespace codegen {

using namespace templates;

namespace {
QString str(const char16_t *text)
{
    return QString::fromUtf16(text);
}
} // namespace

// The four digit-collecting call functions share one section; they differ in these.
struct FlowEmitter::DigitsForm
{
    const char16_t *element;
    const char16_t *sessionKey;
    const char16_t *logText;
    const char16_t *formEnd;
    const char16_t *sentence;
    const char16_t *xmlBlock;
    bool xmlPlays; // its CallXML block plays the prompt instead of collecting digits
};

FlowEmitter::FlowEmitter(GenerationTarget target, const model::FlowTree &tree,
                         const ValuesOf &valuesOf, LineSink &sink, Narrator *narrator)
    : m_target(target)
    , m_sink(sink)
    , m_narrator(narrator)
    , m_anchors(tree, [this, &valuesOf](const model::FlowNode &node) {
        return promptLine(valuesOf(node));
    })
{
}

void FlowEmitter::write(const QStringList &lines)
{
    for (const QString &line : lines)
        m_sink.writeCodeLine(line);
}

void FlowEmitter::speak(const QString &sentence)
{
    // A sentence is printed as one line of a terminal: no line break, no control character.
    if (m_target == GenerationTarget::Narration && m_narrator)
        m_narrator->speakText(singleLine(sentence));
}

QString FlowEmitter::commentText(const QString &text)
{
    // In a server-side comment line a line break would end the comment and "%>" the script
    // block: what follows would run on the telephony web server.
    return singleLine(text).replace(QLatin1String("%>"), QLatin1String("% >"));
}

void FlowEmitter::beginDocument()
{
    if (isXml())
        write(fill(kXmlHead));
}

void FlowEmitter::endDocument()
{
    if (isXml())
        write(fill(kXmlTail));
    speak(str(kSayClosing));
}

void FlowEmitter::prepare(const model::FlowNode &node, const QString &parentAnchor,
                          const model::NodeValues &values)
{
    m_node = &node;
    m_values = values;
    m_parentAnchor = parentAnchor;
    m_label = m_anchors.of(node);
    m_commentLabel = commentText(m_label);
    m_nextTarget.clear();
    m_options.clear();
    if (node.childCount() == 1) {
        m_nextTarget = u'#' + m_anchors.of(*node.children.front());
    } else if (node.childCount() > 1) {
        // A node offers at most six options; later children are reached only through their
        // own descendants.
        const auto end = node.children.begin() + std::min(node.childCount(), call::kMaxOptions);
        m_options.assign(node.children.begin(), end);
    }
}

void FlowEmitter::emitRoot(const model::FlowNode &node, const model::NodeValues &values)
{
    prepare(node, QStringLiteral("#answer-call"), values);
    emitAnswerCall();
}

void FlowEmitter::emitChild(const model::FlowNode &node, const model::NodeValues &values)
{
    prepare(node, node.parent ? u'#' + m_anchors.of(*node.parent) : QStringLiteral("#"),
            values);
    if (!isXml() && node.text != u"hangup")
        write(fill(kSeparator, {{u"commentText", commentText(node.text)}}));
    if (const Emitter emitter = emitterFor(node.text))
        (this->*emitter)();
}

FlowEmitter::Emitter FlowEmitter::emitterFor(const QString &nodeText)
{
    // A node is recognised by its call function's name, exactly as the call rules know it;
    // "answer call" below the top level and unknown texts get no section.
    using F = call::Function;
    switch (call::behaviourOf(nodeText).function) {
    case F::PlayMainGreetings: return &FlowEmitter::emitPlayMainGreetings;
    case F::GetUserIdDigits: return &FlowEmitter::emitGetUserIdDigits;
    case F::GetPasswordDigits: return &FlowEmitter::emitGetPasswordDigits;
    case F::PlayPersonalGreetings: return &FlowEmitter::emitPlayPersonalGreetings;
    case F::GetOptionDigits: return &FlowEmitter::emitGetOptionDigits;
    case F::ProcessRecordedMessages: return &FlowEmitter::emitProcessRecordedMessages;
    case F::RecordMessage: return &FlowEmitter::emitRecordMessage;
    case F::PlayMessageOptions: return &FlowEmitter::emitPlayMessageOptions;
    case F::DeleteRecordedMessage: return &FlowEmitter::emitDeleteRecordedMessage;
    case F::SaveRecordedMessage: return &FlowEmitter::emitSaveRecordedMessage;
    case F::RerecordMessages: return &FlowEmitter::emitRerecordMessage;
    case F::HearRecordedMessage: return &FlowEmitter::emitHearRecordedMessage;
    case F::Hangup: return &FlowEmitter::emitHangup;
    case F::AnswerCall:
    case F::Unknown: return nullptr;
    }
    return nullptr;
}

QString FlowEmitter::promptLine(const model::NodeValues &values) const
{
    if (m_target == GenerationTarget::WteTts)
        return values.prompttxt;
    return fillLine(kPromptWave, {{u"voicefile", values.voicefile}});
}

// ---- Option menu ---------------------------------------------------------------------

void FlowEmitter::emitOptionMenu()
{
    if (!m_nextTarget.isEmpty())
        write({fillLine(kNavigate, {{u"nextTarget", m_nextTarget}})});
    if (m_options.empty())
        return;
    const bool narration = m_target == GenerationTarget::Narration;
    if (narration) {
        speak(fillLine(kSayOptionCount, {{u"n", QString::number(m_options.size())}}));
        for (size_t i = 0; i < m_options.size(); ++i) {
            const QString &t = m_options[i]->text;
            speak(i == 0 ? fillLine(kSayFirstOption, {{u"target", t}})
                         : fillLine(kSayOption, {{u"k", QString::number(i + 1)}, {u"target", t}}));
        }
    }
    write({fillLine(kMenuStart, {{u"parentAnchor", m_parentAnchor}})});
    for (size_t i = 0; i < m_options.size(); ++i) {
        // The narration's page has always written its menu targets without "#".
        const QString target = (narration ? QString() : QStringLiteral("#"))
                               + m_anchors.of(*m_options[i]);
        write({fillLine(kMenuOption, {{u"k", QString::number(i + 1)}, {u"target", target}})});
    }
    write({str(kMenuEnd)});
}

// ---- CallXML lines -------------------------------------------------------------------

QString FlowEmitter::xml(const QString &value) const
{
    return xmlAttributeEscaped(value);
}

void FlowEmitter::writeXmlBlock(const QString &block, const QString &action)
{
    write(fill(kXmlBlock, {{u"block", block}, {u"action", action}}));
}

QString FlowEmitter::xmlPlayLine() const
{
    return fillLine(kXmlPlay, {{u"InputTerm", xml(m_values.inputTerm)},
                               {u"voicefile", xml(m_values.voicefile)}});
}

QString FlowEmitter::xmlDigitsLine() const
{
    return fillLine(kXmlDigits, {{u"inputmaxlen", xml(m_values.inputmaxlen)},
                                 {u"InputTerm", xml(m_values.inputTerm)},
                                 {u"FirstTimeoutInterval", xml(m_values.firstTimeoutInterval)},
                                 {u"InterTimeoutInterval", xml(m_values.interTimeoutInterval)}});
}

QString FlowEmitter::xmlRecordLine() const
{
    return fillLine(kXmlRecord, {{u"InputTerm", xml(m_values.inputTerm)},
                                 {u"FirstTimeoutInterval", xml(m_values.firstTimeoutInterval)},
                                 {u"InterTimeoutInterval", xml(m_values.interTimeoutInterval)}});
}

// ---- Emitters ------------------------------------------------------------------------

void FlowEmitter::emitAnswerCall()
{
    if (isXml()) {
        write(fill(kXmlAnswer));
        return;
    }
    speak(str(kSayWelcome));
    speak(str(kSayAuthor));
    speak(str(kSayAnswer));
    write(fill(kAnswerCallHead, {{u"label", m_label}, {u"commentLabel", m_commentLabel}}));
    emitOptionMenu();
    write(fill(kAnswerCallEnd));
}

void FlowEmitter::emitGreeting(const char16_t *logText, const char16_t *sentence,
                               const char16_t *xmlBlock)
{
    if (isXml()) {
        writeXmlBlock(str(xmlBlock), xmlPlayLine());
        return;
    }
    speak(str(sentence));
    write(fill(kGreeting,
               {{u"label", m_label},
                {u"commentLabel", m_commentLabel},
                {u"logText", str(logText)},
                {u"prompt", promptLine()}}));
    emitOptionMenu();
    write(fill(kSectionEnd, {{u"commentLabel", m_commentLabel}}));
}

void FlowEmitter::emitPlayMainGreetings()
{
    emitGreeting(u" play main greetings ", u"Then it will play Main greetings.",
                 u"playMaingreetings");
}

void FlowEmitter::emitPlayPersonalGreetings()
{
    emitGreeting(u" play personal greetings ", u"Then it will Play Personal Greetings.",
                 u"playpersonalgreetings");
}

void FlowEmitter::emitDigits(const DigitsForm &form)
{
    if (isXml()) {
        writeXmlBlock(str(form.xmlBlock), form.xmlPlays ? xmlPlayLine() : xmlDigitsLine());
        return;
    }
    speak(str(form.sentence));
    write(fill(kDigitsHead, {{u"label", m_label},
                             {u"commentLabel", m_commentLabel},
                             {u"InputTerm", m_values.inputTerm},
                             {u"IgnoreKeys", m_values.ignoreKeys},
                             {u"InterTimeoutInterval", m_values.interTimeoutInterval},
                             {u"FirstTimeoutInterval", m_values.firstTimeoutInterval},
                             {u"X", str(form.element)},
                             {u"K", str(form.sessionKey)},
                             {u"logText", str(form.logText)},
                             {u"prompt", promptLine()}}));
    // The jump or the option menu comes after the form: before it, the call would leave
    // before the entry is taken.
    write(fill(kDigitsForm, {{u"X", str(form.element)},
                             {u"inputtype", m_values.inputtype},
                             {u"inputmaxlen", m_values.inputmaxlen},
                             {u"formEnd", str(form.formEnd)}}));
    emitOptionMenu();
    write(fill(kSectionEnd, {{u"commentLabel", m_commentLabel}}));
}

void FlowEmitter::emitGetUserIdDigits()
{
    emitDigits({u"useriddigits", u"userid", u" Get user id digits ", u"  </form>",
                u"Then it will get user id digits.", u"getuseriddigits", false});
}

void FlowEmitter::emitGetPasswordDigits()
{
    emitDigits({u"userpindigits", u"userpin", u" Get pass word digits ", u"  </form>",
                u"Then it will get user pass word digits.", u"getpassworddigits", false});
}

void FlowEmitter::emitGetOptionDigits()
{
    emitDigits({u"optiondigits", u"optionDigit", u" Get option Digits ", u" </form>",
                u"Then it will ask caller to enter an Option digits.", u"getoptiondigit",
                false});
}

void FlowEmitter::emitPlayMessageOptions()
{
    emitDigits({u"messageoption", u"msgDigit", u" play message options ", u" </form>",
                u"Then it ask user to select Message options functions.",
                u"playMessageoptions", true});
}

void FlowEmitter::emitProcessRecordedMessages()
{
    if (isXml()) {
        // CallXML has no voice-mail page to hand over to.
        writeXmlBlock(QStringLiteral("processrecordedmsg"), xmlPlayLine());
        return;
    }
    speak(QStringLiteral("Then it will Process recorded Messages."));
    write(fill(kProcessHead, {{u"label", m_label},
                              {u"commentLabel", m_commentLabel},
                              {u"prompt", promptLine()}}));
    if (m_target == GenerationTarget::WteTts)
        write({str(kProcessToRemoteTts)});
    else if (m_target == GenerationTarget::WteWave)
        write({str(kProcessToRemoteWave)});
    write({str(kFormEnd)});
    write(fill(kSectionEnd, {{u"commentLabel", m_commentLabel}}));
    m_remoteNeeded = true;
}

void FlowEmitter::emitRecordMessage()
{
    if (isXml()) {
        writeXmlBlock(QStringLiteral("recordmessage"), xmlRecordLine());
        return;
    }
    speak(QStringLiteral("Then it will record a Message."));
    write(fill(kRecord, {{u"label", m_label},
                         {u"commentLabel", m_commentLabel},
                         {u"prompt", promptLine()}}));
    emitOptionMenu();
    write(fill(kSectionEnd, {{u"commentLabel", m_commentLabel}}));
}

void FlowEmitter::emitHearRecordedMessage()
{
    if (isXml()) {
        writeXmlBlock(QStringLiteral("hearmsg"), xmlPlayLine());
        return;
    }
    speak(QStringLiteral("Then it will Play the recorded Message."));
    write(fill(kHear, {{u"label", m_label},
                       {u"commentLabel", m_commentLabel},
                       {u"parentAnchor", m_parentAnchor}}));
}

void FlowEmitter::emitSaveRecordedMessage()
{
    if (isXml())
        return;
    speak(QStringLiteral("Then it will saves the recorded Message."));
    write(fill(kSave, {{u"label", m_label},
                       {u"commentLabel", m_commentLabel},
                       {u"InputTerm", m_values.inputTerm},
                       {u"IgnoreKeys", m_values.ignoreKeys},
                       {u"InterTimeoutInterval", m_values.interTimeoutInterval},
                       {u"FirstTimeoutInterval", m_values.firstTimeoutInterval},
                       {u"prompt", promptLine()},
                       {u"parentAnchor", m_parentAnchor}}));
}

void FlowEmitter::emitDeleteRecordedMessage()
{
    if (isXml())
        return;
    speak(QStringLiteral("Then it will delete the recorded Message."));
    write(fill(kDelete, {{u"label", m_label},
                         {u"commentLabel", m_commentLabel},
                         {u"prompt", promptLine()},
                         {u"parentAnchor", m_parentAnchor}}));
}

void FlowEmitter::emitRerecordMessage()
{
    if (isXml()) {
        writeXmlBlock(QStringLiteral("rerecordmsg"), xmlRecordLine());
        return;
    }
    speak(QStringLiteral("The application will then will re-recorded Message."));
    write(fill(kRerecord, {{u"label", m_label},
                           {u"commentLabel", m_commentLabel},
                           {u"parentAnchor", m_parentAnchor}}));
}

void FlowEmitter::emitHangup()
{
    if (isXml()) {
        write(fill(kXmlHangup));
        return;
    }
    // A hangup that plays what an earlier one plays goes to that one's section.
    if (m_anchors.sharesSection(*m_node))
        return;
    write(fill(kHangupHead, {{u"label", m_label},
                             {u"commentLabel", m_commentLabel},
                             {u"prompt", promptLine()}}));
    if (!std::exchange(m_hangupWritten, true))
        write(fill(kDisconnectCodes));
    write(fill(kHangupEnd, {{u"commentLabel", m_commentLabel}}));
}

} // namespace codegen
