#include "callsettings.h"

#include "behaviour.h"

#include "model/nodevalues.h"

#include <algorithm>
#include <cmath>

namespace call {

namespace {

// A whole number of seconds or keys; `fallback` for anything else.
int wholeNumber(const QString &text, int fallback)
{
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(value) || value != std::floor(value) || std::fabs(value) > 1e6)
        return fallback;
    return int(value);
}

} // namespace

CallSettings CallSettings::from(const model::NodeValues &values, const QString &nodeText,
                                Flavour flavour)
{
    CallSettings s;
    if (flavour == Flavour::Tts) {
        s.prompt = values.prompttxt.trimmed().isEmpty()
                       ? QStringLiteral("Please enter TTS text for ") + nodeText
                       : values.prompttxt;
    } else {
        s.prompt = values.voicefile.trimmed().isEmpty() ? QStringLiteral("Novoice.wav")
                                                        : values.voicefile.trimmed();
    }
    s.maxKeys = std::max(0, wholeNumber(values.inputmaxlen, 4));
    s.terminator = values.inputTerm.left(1);
    if (s.terminator.trimmed().isEmpty())
        s.terminator.clear();
    s.firstTimeout = std::max(1, wholeNumber(values.firstTimeoutInterval, 30));
    s.interTimeout = std::max(1, wholeNumber(values.interTimeoutInterval, 30));
    s.maxRecordSeconds = std::max(1, values.maxReclen);
    return s;
}

QStringList settingColumns(const Behaviour &behaviour)
{
    static const QStringList entry{QStringLiteral("inputmaxlen"), QStringLiteral("InputTerm"),
                                   QStringLiteral("FirstTimeoutInterval"),
                                   QStringLiteral("InterTimeoutInterval")};
    static const QStringList recording{QStringLiteral("InputTerm"),
                                       QStringLiteral("FirstTimeoutInterval"),
                                       QStringLiteral("InterTimeoutInterval"),
                                       QStringLiteral("MaxReclen")};
    if (behaviour.collectsDigits())
        return entry;
    if (behaviour.records())
        return recording;
    return {};
}

} // namespace call
