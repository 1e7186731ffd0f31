#pragma once

#include "speech/speechengine.h"

#include <QStringList>

// Records the texts handed over. Speech "starts" at the first text and lasts until the
// test calls finish() (or stop()), so caption sequences can be checked step by step.
class FakeSpeechEngine final : public speech::SpeechEngine
{
    Q_OBJECT
public:
    using SpeechEngine::SpeechEngine;

    QStringList spoken;
    QStringList voiceRequests;
    int stops = 0;
    bool available = true;

    bool isAvailable() const override { return available; }
    void selectVoice(const QString &rankList) override { voiceRequests << rankList; }
    void say(const QString &text) override
    {
        spoken << text;
        if (available && !m_speaking) {
            m_speaking = true;
            Q_EMIT speakingStarted();
        }
    }
    void stop() override
    {
        ++stops;
        finish();
    }
    bool isSpeaking() const override { return m_speaking; }

    // The engine reports that everything handed over has been spoken.
    void finish()
    {
        if (m_speaking) {
            m_speaking = false;
            Q_EMIT speakingDone();
        }
    }

private:
    bool m_speaking = false;
};
