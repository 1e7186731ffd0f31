#include "fakespeechengine.h"

void FakeSpeechEngine::say(const QString &text)
{
    spoken << text;
    if (!available)
        return;
    if (!m_speaking) {
        m_speaking = true;
        Q_EMIT speakingStarted();
    }
}

void FakeSpeechEngine::stop()
{
    ++stops;
    finish();
}

void FakeSpeechEngine::finish()
{
    if (m_speaking) {
        m_speaking = false;
        Q_EMIT speakingDone();
    }
}
