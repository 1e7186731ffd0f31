#include "transcript.h"

#include "callevent.h"

#include <QJsonDocument>
#include <QJsonObject>

namespace call::transcript {

namespace {

using Kind = CallEvent::Kind;

QString eventWord(const CallEvent &e)
{
    switch (e.kind) {
    case Kind::Node:
        return QStringLiteral("node");
    case Kind::Answer:
        return QStringLiteral("answer");
    case Kind::Prompt:
        return e.prompt == CallEvent::PromptKind::Speech ? QStringLiteral("say")
                                                         : QStringLiteral("play");
    case Kind::Wait:
        return QStringLiteral("wait");
    case Kind::Key:
        return QStringLiteral("key");
    case Kind::TimeOut:
        return QStringLiteral("time-out");
    case Kind::Entry:
        return QStringLiteral("entry");
    case Kind::Record:
        return QStringLiteral("record");
    case Kind::Recorded:
        return QStringLiteral("recorded");
    case Kind::Saved:
        return QStringLiteral("saved");
    case Kind::Deleted:
        return QStringLiteral("deleted");
    case Kind::Move:
        return QStringLiteral("go");
    case Kind::Note:
        return QStringLiteral("note");
    case Kind::End:
        return QStringLiteral("end");
    }
    return {};
}

QString reasonWord(EndReason reason)
{
    switch (reason) {
    case EndReason::HungUp:
        return QStringLiteral("hangup");
    case EndReason::CallerHungUp:
        return QStringLiteral("caller-hung-up");
    case EndReason::VoiceMail:
        return QStringLiteral("voice-mail");
    case EndReason::NoNextStep:
        return QStringLiteral("no-next-step");
    case EndReason::NoSection:
        return QStringLiteral("no-section");
    case EndReason::Loop:
        return QStringLiteral("loop");
    case EndReason::FlowChanged:
        return QStringLiteral("flow-changed");
    case EndReason::EmptyFlow:
        return QStringLiteral("empty-flow");
    case EndReason::ScriptEnded:
        return QStringLiteral("script-ended");
    }
    return {};
}

QString endedByWord(Recording::EndedBy endedBy)
{
    switch (endedBy) {
    case Recording::EndedBy::Terminator:
        return QStringLiteral("terminator");
    case Recording::EndedBy::Silence:
        return QStringLiteral("silence");
    case Recording::EndedBy::MaxLength:
        return QStringLiteral("limit");
    }
    return {};
}

QString seconds(qint64 milliseconds)
{
    return QString::number(double(milliseconds) / 1000.0, 'f', 1);
}

QString orNone(const QString &text, const char *none)
{
    return text.isEmpty() ? QString::fromLatin1(none) : text;
}

} // namespace

QString textLine(const CallEvent &e)
{
    QStringList parts{QString::number(e.step), eventWord(e)};
    switch (e.kind) {
    case Kind::Node:
        parts << e.nodeKey << e.nodeText;
        break;
    case Kind::Prompt:
        if (e.prompt == CallEvent::PromptKind::Recording)
            parts << QStringLiteral("recording") << seconds(e.milliseconds) << QStringLiteral("s");
        else
            parts << e.text;
        break;
    case Kind::Wait:
        if (e.waitFor == CallEvent::WaitFor::Option) {
            parts << QStringLiteral("option") << QStringLiteral("1-%1").arg(e.options)
                  << QStringLiteral("first") << QString::number(e.firstTimeout);
            break;
        }
        parts << QStringLiteral("entry") << e.session << QStringLiteral("keys")
              << (e.maxKeys > 0 ? QString::number(e.maxKeys) : QStringLiteral("any"))
              << QStringLiteral("term") << orNone(e.terminator, "none")
              << QStringLiteral("first") << QString::number(e.firstTimeout)
              << QStringLiteral("inter") << QString::number(e.interTimeout);
        if (e.options > 0)
            parts << QStringLiteral("options") << QString::number(e.options);
        break;
    case Kind::Key:
        parts << e.text;
        break;
    case Kind::Entry:
        parts << e.session;
        if (!e.text.isEmpty())
            parts << e.text;
        break;
    case Kind::Record:
        parts << QStringLiteral("max") << QString::number(e.maxSeconds) << QStringLiteral("term")
              << orNone(e.terminator, "none") << QStringLiteral("silence")
              << QString::number(e.silenceSeconds);
        break;
    case Kind::Recorded:
        parts << seconds(e.milliseconds) << QStringLiteral("s by") << endedByWord(e.endedBy);
        break;
    case Kind::Move:
        parts << e.move;
        if (!e.option.isEmpty())
            parts << e.option;
        parts << e.targetKey << e.targetText;
        break;
    case Kind::Note:
        parts << e.text;
        break;
    case Kind::End:
        parts << reasonWord(e.endReason) << e.text;
        break;
    case Kind::Answer:
    case Kind::TimeOut:
    case Kind::Saved:
    case Kind::Deleted:
        break;
    }
    return parts.join(u' ');
}

QByteArray jsonLine(const CallEvent &e)
{
    QJsonObject o{{QStringLiteral("step"), e.step},
                  {QStringLiteral("node"), e.nodeKey},
                  {QStringLiteral("event"), eventWord(e)}};
    switch (e.kind) {
    case Kind::Node:
        o.insert(QStringLiteral("key"), e.nodeKey);
        o.insert(QStringLiteral("text"), e.nodeText);
        break;
    case Kind::Prompt:
        if (e.prompt == CallEvent::PromptKind::Speech)
            o.insert(QStringLiteral("text"), e.text);
        else if (e.prompt == CallEvent::PromptKind::VoiceFile)
            o.insert(QStringLiteral("file"), e.text);
        else
            o.insert(QStringLiteral("seconds"), double(e.milliseconds) / 1000.0);
        break;
    case Kind::Wait:
        o.insert(QStringLiteral("for"), e.waitFor == CallEvent::WaitFor::Option
                                            ? QStringLiteral("option")
                                            : QStringLiteral("entry"));
        o.insert(QStringLiteral("firstTimeout"), e.firstTimeout);
        if (e.options > 0)
            o.insert(QStringLiteral("options"), e.options);
        if (e.waitFor == CallEvent::WaitFor::Entry) {
            o.insert(QStringLiteral("session"), e.session);
            o.insert(QStringLiteral("maxKeys"), e.maxKeys);
            o.insert(QStringLiteral("terminator"), e.terminator);
            o.insert(QStringLiteral("interTimeout"), e.interTimeout);
        }
        break;
    case Kind::Key:
        o.insert(QStringLiteral("key"), e.text);
        break;
    case Kind::Entry:
        o.insert(QStringLiteral("session"), e.session);
        o.insert(QStringLiteral("value"), e.text);
        break;
    case Kind::Record:
        o.insert(QStringLiteral("maxSeconds"), e.maxSeconds);
        o.insert(QStringLiteral("terminator"), e.terminator);
        o.insert(QStringLiteral("silenceSeconds"), e.silenceSeconds);
        break;
    case Kind::Recorded:
        o.insert(QStringLiteral("seconds"), double(e.milliseconds) / 1000.0);
        o.insert(QStringLiteral("endedBy"), endedByWord(e.endedBy));
        break;
    case Kind::Move:
        o.insert(QStringLiteral("move"), e.move);
        if (!e.option.isEmpty())
            o.insert(QStringLiteral("option"), e.option);
        o.insert(QStringLiteral("key"), e.targetKey);
        o.insert(QStringLiteral("text"), e.targetText);
        break;
    case Kind::Note:
        o.insert(QStringLiteral("text"), e.text);
        break;
    case Kind::End:
        o.insert(QStringLiteral("reason"), reasonWord(e.endReason));
        o.insert(QStringLiteral("text"), e.text);
        break;
    case Kind::Answer:
    case Kind::TimeOut:
    case Kind::Saved:
    case Kind::Deleted:
        break;
    }
    return QJsonDocument(o).toJson(QJsonDocument::Compact);
}

} // namespace call::transcript
