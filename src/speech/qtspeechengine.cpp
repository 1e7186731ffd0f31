#include "qtspeechengine.h"

#include "qtsoundplayer.h"

#include <QAudioDevice>
#include <QMediaDevices>
#include <QTextToSpeech>
#include <QVoice>

namespace speech {

QString QtSpeechEngine::chooseEngine(const QStringList &offered)
{
    if (offered.contains(QStringLiteral("flite")))
        return QStringLiteral("flite");
    for (const QString &name : offered) {
        if (name != u"mock")
            return name;
    }
    return {};
}

QtSpeechEngine::QtSpeechEngine(const QString &engine, QObject *parent)
    : SpeechEngine(parent)
{
    // The device check below starts Qt Multimedia, which fixes its backend.
    preferGStreamerBackend();
    const QString name =
        engine.isEmpty() ? chooseEngine(QTextToSpeech::availableEngines()) : engine;
    if (name.isEmpty())
        return;
    m_tts = std::make_unique<QTextToSpeech>(name);
    connect(m_tts.get(), &QTextToSpeech::stateChanged, this,
            [this](QTextToSpeech::State state) { stateChanged(state); });
}

QtSpeechEngine::~QtSpeechEngine()
{
    if (m_tts) {
        m_tts->disconnect(this);
        m_tts->stop();
    }
}

QString QtSpeechEngine::engineName() const
{
    return m_tts ? m_tts->engine() : QString();
}

bool QtSpeechEngine::isAvailable() const
{
    if (!m_tts || m_tts->state() == QTextToSpeech::Error)
        return false;
    // flite reports a missing audio device only once it tries to speak; the engine's
    // own error text already tells, and so does the device list.
    if (m_tts->engine() == u"flite" && QMediaDevices::audioOutputs().isEmpty())
        return false;
    return m_tts->errorReason() == QTextToSpeech::ErrorReason::NoError;
}

void QtSpeechEngine::reportUnavailable(const QString &reason)
{
    if (m_reported)
        return;
    m_reported = true;
    Q_EMIT unavailable(reason);
}

void QtSpeechEngine::selectVoice(const QString &rankList)
{
    if (!m_tts)
        return;
    // A rank list is "Name=Value" pairs separated by semicolons. Mfg matches a voice
    // whose name contains it; Gender 0 is neutral (any voice), 1 female, 2 male. The
    // voice with most matches wins, the current one when none matches better.
    QString maker;
    int gender = -1;
    for (const QString &pair : rankList.split(u';', Qt::SkipEmptyParts)) {
        const QString name = pair.section(u'=', 0, 0).trimmed();
        const QString value = pair.section(u'=', 1).trimmed();
        if (name.compare(QLatin1String("Mfg"), Qt::CaseInsensitive) == 0)
            maker = value;
        else if (name.compare(QLatin1String("Gender"), Qt::CaseInsensitive) == 0)
            gender = value.toInt();
    }
    const QList<QVoice> voices = m_tts->availableVoices();
    int bestScore = 0;
    QVoice best = m_tts->voice();
    for (const QVoice &voice : voices) {
        int score = 0;
        if (!maker.isEmpty() && voice.name().contains(maker, Qt::CaseInsensitive))
            ++score;
        if ((gender == 1 && voice.gender() == QVoice::Female)
            || (gender == 2 && voice.gender() == QVoice::Male))
            ++score;
        if (score > bestScore) {
            bestScore = score;
            best = voice;
        }
    }
    if (bestScore > 0)
        m_tts->setVoice(best);
}

void QtSpeechEngine::say(const QString &text)
{
    if (!isAvailable()) {
        reportUnavailable(m_tts ? m_tts->errorString()
                                : QStringLiteral("no text-to-speech engine is installed"));
        return;
    }
    if (m_speaking) {
        m_queue << text;
        return;
    }
    m_speaking = true;
    Q_EMIT speakingStarted();
    m_tts->say(text);
}

void QtSpeechEngine::stop()
{
    m_queue.clear();
    if (m_tts)
        m_tts->stop();
    finish();
}

void QtSpeechEngine::finish()
{
    if (!m_speaking)
        return;
    m_speaking = false;
    Q_EMIT speakingDone();
}

void QtSpeechEngine::stateChanged(int state)
{
    switch (state) {
    case QTextToSpeech::Ready:
        if (!m_speaking)
            return;
        if (!m_queue.isEmpty()) {
            m_tts->say(m_queue.takeFirst());
            return;
        }
        finish();
        return;
    case QTextToSpeech::Error:
        m_queue.clear();
        finish();
        reportUnavailable(m_tts->errorString());
        return;
    default:
        return;
    }
}

} // namespace speech
