#pragma once

#include <QString>
#include <QStringList>

namespace model {
struct NodeValues;
}

namespace call {

struct Behaviour;

// How prompts are heard: spoken from the prompt text, as callTTS.asp does, or played from
// the voice file, as callWave.asp does.
enum class Flavour { Tts, Wave };

// A node's properties as a call uses them, read from its node values (the same values,
// with the same defaults, that the pages are written from).
struct CallSettings
{
    // Flavour tts: the prompt text ("Please enter TTS text for " and the node's text when
    // it is empty). Flavour wave: the voice file's name in waves/ ("Novoice.wav" when empty).
    QString prompt;
    // Keys an entry takes at most (inputmaxlen); 0 when the value sets no limit.
    int maxKeys = 4;
    // The key that ends an entry or a recording (InputTerm); empty for none.
    QString terminator;
    // Seconds to wait for the first key and between keys. A value that is not a whole
    // number counts as 30, one below 1 as 1: a wait always gives the caller a moment.
    int firstTimeout = 30;
    int interTimeout = 30;
    // Longest recording in seconds (MaxReclen), at least 1.
    int maxRecordSeconds = 60;

    static CallSettings from(const model::NodeValues &values, const QString &nodeText,
                             Flavour flavour);
};

// The property columns a call function's action reads, as the pages and a test call use
// them: an entry reads inputmaxlen, InputTerm and the two time-outs; a recording InputTerm,
// the two time-outs and MaxReclen; every other action none.
QStringList settingColumns(const Behaviour &behaviour);

} // namespace call
