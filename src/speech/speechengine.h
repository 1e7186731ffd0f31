#pragma once

#include <QObject>
#include <QString>

namespace speech {

// Text to speech as the designer uses it: texts handed over are spoken in order in the
// background, start and end are reported by signals. QtSpeechEngine speaks through
// QTextToSpeech; tests use FakeSpeechEngine (tests/support), which records the texts.
class SpeechEngine : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;
    ~SpeechEngine() override = default;

    // False when no engine or voice can speak on this machine.
    virtual bool isAvailable() const = 0;
    // Chooses the voice that best matches a rank list such as "Mfg=Microsoft;Gender=0".
    virtual void selectVoice(const QString &rankList) = 0;
    // Queues a text after those already handed over; returns at once.
    virtual void say(const QString &text) = 0;
    // Ends pending and current speech.
    virtual void stop() = 0;
    virtual bool isSpeaking() const = 0;

Q_SIGNALS:
    void speakingStarted();
    void speakingDone();
    // Emitted when speech turns out to be impossible (no engine, no audio device).
    void unavailable(const QString &reason);
};

} // namespace speech
