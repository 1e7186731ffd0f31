#include "generationtarget.h"

namespace codegen {

std::optional<GenerationTarget> parseTarget(const QString &name)
{
    if (name == u"wteWave")
        return GenerationTarget::WteWave;
    if (name == u"wteTTS")
        return GenerationTarget::WteTts;
    if (name == u"callxml")
        return GenerationTarget::CallXml;
    if (name == u"TTS")
        return GenerationTarget::Narration;
    if (name == u"vxml")
        return GenerationTarget::Vxml;
    return std::nullopt;
}

QString targetName(GenerationTarget target)
{
    switch (target) {
    case GenerationTarget::WteWave:
        return QStringLiteral("wteWave");
    case GenerationTarget::WteTts:
        return QStringLiteral("wteTTS");
    case GenerationTarget::CallXml:
        return QStringLiteral("callxml");
    case GenerationTarget::Narration:
        return QStringLiteral("TTS");
    case GenerationTarget::Vxml:
        return QStringLiteral("vxml");
    }
    return {};
}

} // namespace codegen
