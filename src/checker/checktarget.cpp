#include "checktarget.h"

#include "codegen/generationtarget.h"

namespace checker {

namespace {

using codegen::GenerationTarget;

struct TargetUses
{
    GenerationTarget target;
    unsigned uses;
};

// One line per target. The narration writes the call page with the wave lines; VoiceXML
// plays the voice file and speaks the prompt text when the file cannot be fetched.
const TargetUses kTargets[] = {
    {GenerationTarget::WteWave, PlaysVoiceFiles | HandsToVoiceMail},
    {GenerationTarget::WteTts, SpeaksPromptText | HandsToVoiceMail},
    {GenerationTarget::CallXml, PlaysVoiceFiles},
    {GenerationTarget::Narration, PlaysVoiceFiles | HandsToVoiceMail},
    {GenerationTarget::Vxml, PlaysVoiceFiles | FallsBackToPromptText | HandsToVoiceMail},
};

} // namespace

std::optional<CheckTarget> findTarget(const QString &name)
{
    const std::optional<GenerationTarget> target = codegen::parseTarget(name);
    for (const TargetUses &t : kTargets) {
        if (target == t.target)
            return CheckTarget{codegen::targetName(t.target), t.uses};
    }
    return std::nullopt;
}

CheckTarget everyTarget()
{
    CheckTarget all;
    for (const TargetUses &t : kTargets)
        all.uses |= t.uses;
    // The spoken prompts' rule finds every prompt text the fallback's would.
    if (all.uses & SpeaksPromptText)
        all.uses &= ~unsigned(FallsBackToPromptText);
    return all;
}

QStringList targetNames()
{
    QStringList names;
    for (const TargetUses &t : kTargets)
        names << codegen::targetName(t.target);
    return names;
}

} // namespace checker
