#pragma once

#include <QString>

#include <optional>

namespace codegen {

// What a run generates: the two WTE flavours, CallXML, the narration, which speaks the
// flow and writes the call page with the lines of the wave flavour, and VoiceXML.
enum class GenerationTarget { WteWave, WteTts, CallXml, Narration, Vxml };

// "wteWave", "wteTTS", "callxml", "TTS", "vxml" (exact spelling); nullopt for anything
// else.
std::optional<GenerationTarget> parseTarget(const QString &name);
QString targetName(GenerationTarget target);

} // namespace codegen
