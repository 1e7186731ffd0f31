#pragma once

#include "speechengine.h"

#include <QStringList>

#include <memory>

class QTextToSpeech;

namespace speech {

// Speech through Qt's text-to-speech. Of the engines Qt offers on Debian, flite is
// preferred: it speaks without a daemon, whereas speechd needs speech-dispatcher running
// (and without one it fails at once). Texts handed over while one is spoken wait in a
// queue and follow in order. Without an engine or an audio device nothing is spoken and
// unavailable() is emitted; nothing blocks.
class QtSpeechEngine final : public SpeechEngine
{
    Q_OBJECT
public:
    // `engine` forces a Qt text-to-speech engine by name; empty chooses as above.
    explicit QtSpeechEngine(const QString &engine = QString(), QObject *parent = nullptr);
    ~QtSpeechEngine() override;

    // The engine chosen from those offered, flite first; empty when none is.
    static QString chooseEngine(const QStringList &offered);

    QString engineName() const;
    bool isAvailable() const override;
    void selectVoice(const QString &rankList) override;
    void say(const QString &text) override;
    void stop() override;
    bool isSpeaking() const override { return m_speaking; }

private:
    void stateChanged(int state);
    void reportUnavailable(const QString &reason);
    void finish();

    std::unique_ptr<QTextToSpeech> m_tts;
    QStringList m_queue;
    bool m_speaking = false;
    bool m_reported = false;
};

} // namespace speech
