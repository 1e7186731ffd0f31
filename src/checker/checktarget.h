#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace checker {

// What a target's pages make of a flow, as far as the rules care: each rule names the uses
// it is about and runs for the targets that have one of them.
enum TargetUse : unsigned {
    PlaysVoiceFiles = 1u << 0,  // prompts are the nodes' voice files in waves/
    SpeaksPromptText = 1u << 1, // prompts are the nodes' prompt texts, spoken
    HandsToVoiceMail = 1u << 2, // "process recorded messages" leads to the voice-mail page
    // the prompt text is spoken where the voice file cannot be played
    FallsBackToPromptText = 1u << 3,
};

struct CheckTarget
{
    QString name; // the generation target ("wteWave", ...); empty for every target at once
    unsigned uses = 0;
};

// The target of that name; nullopt for a name that is no generation target.
std::optional<CheckTarget> findTarget(const QString &name);
// Every target at once, for a check that is not about to generate one.
CheckTarget everyTarget();
// The names of the targets, in the order of the generation commands.
QStringList targetNames();

} // namespace checker
