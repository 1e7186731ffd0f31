#pragma once

#include <QString>
#include <QStringList>

namespace properties {

// What ensureSampleVoices did.
struct SampleVoiceReport
{
    QStringList created;  // file names made in waves
    QStringList kept;     // sample names already present (the user's own files stay)
    QString problem;      // why some or all could not be made; empty when all are there
};

// The recordings the demonstration flow names, each with the sentence it says.
struct SampleVoice
{
    const char *fileName;
    const char *sentence;
};
const QList<SampleVoice> &sampleVoices();

// Speaks each missing sample recording into appDir/waves with espeak-ng, so that a new
// user hears the demonstration flow and the voice mail's system prompts. A file already in waves is never replaced. When
// espeak-ng is not installed nothing is made and the report says so. `program` names
// the synthesiser to run (default: espeak-ng found on the PATH).
SampleVoiceReport ensureSampleVoices(const QString &appDir, const QString &program = QString());

} // namespace properties
