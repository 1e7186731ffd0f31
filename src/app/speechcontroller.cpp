#include "speechcontroller.h"

#include "properties/propertygrid.h"
#include "speech/soundplayer.h"
#include "speech/speechengine.h"

#include <QAbstractButton>
#include <QAction>

namespace app {

namespace {
const char kPlayText[] = "Play TTS File";
const char kStopPlayText[] = "Stop Play TTS File";
const char kTellFlow[] = "Tell me application flow";
const char kStopTellFlow[] = "stop saying application flow";
const char kPlayVoice[] = "Play Voice File";
const char kStopVoice[] = "Stop Voice File";
const char kPlayWave[] = "Play Wave File";
const char kEmptyText[] = "You must load a text file or type something in this box.";
const char kRankList[] = "Mfg=Microsoft;Gender=0";
} // namespace

SpeechController::SpeechController(const QString &appDir, speech::SpeechEngine &speech,
                                   speech::SoundPlayer &sound, QObject *parent)
    : QObject(parent)
    , m_appDir(appDir)
    , m_speech(speech)
    , m_sound(sound)
{
    connect(&m_speech, &speech::SpeechEngine::speakingStarted, this,
            [this] { showSpeaking(true); });
    connect(&m_speech, &speech::SpeechEngine::speakingDone, this,
            [this] { showSpeaking(false); });
    connect(&m_speech, &speech::SpeechEngine::unavailable, this, [this](const QString &why) {
        if (m_speechReported)
            return;
        m_speechReported = true;
        Q_EMIT statusMessage(why.isEmpty()
                                 ? QStringLiteral("Speech is not available on this computer.")
                                 : QStringLiteral("Speech is not available on this computer: %1")
                                       .arg(why));
    });
    connect(&m_sound, &speech::SoundPlayer::unavailable, this, [this](const QString &why) {
        if (m_soundReported)
            return;
        m_soundReported = true;
        Q_EMIT statusMessage(why.isEmpty()
                                 ? QStringLiteral("Sound is not available on this computer.")
                                 : QStringLiteral("Sound is not available on this computer: %1")
                                       .arg(why));
    });
}

void SpeechController::attach(QAbstractButton *playtext, QAbstractButton *narrationButton,
                              QAbstractButton *playWave, QAbstractButton *command4,
                              QAction *soundOn, QAction *soundOff,
                              properties::PropertyGrid *grid)
{
    m_playtext = playtext;
    m_narration = narrationButton;
    m_playWave = playWave;
    m_command4 = command4;
    m_grid = grid;
    if (m_playWave)
        m_playWave->setText(QString::fromLatin1(kPlayWave));
    if (m_playtext)
        connect(m_playtext, &QAbstractButton::clicked, this, [this] { playPromptText(); });
    if (m_command4) {
        connect(m_command4, &QAbstractButton::clicked, this, [this] { toggleSound(); });
        m_command4->setToolTip(m_soundOn ? QStringLiteral("Play Sound ON")
                                         : QStringLiteral("Play Sound OFF"));
    }
    if (soundOn)
        connect(soundOn, &QAction::triggered, this, [this] { setSoundOn(true); });
    if (soundOff)
        connect(soundOff, &QAction::triggered, this, [this] { setSoundOn(false); });
    if (m_grid) {
        connect(m_grid, &properties::PropertyGrid::cellClicked, this,
                [this](const QString &text) { playFromGrid(text); });
    }
}

void SpeechController::setSoundOn(bool on)
{
    m_soundOn = on;
    if (m_command4)
        m_command4->setToolTip(on ? QStringLiteral("Play Sound ON")
                                  : QStringLiteral("Play Sound OFF"));
}

void SpeechController::toggleSound()
{
    setSoundOn(!m_soundOn);
}

bool SpeechController::speechUsable()
{
    if (m_speech.isAvailable())
        return true;
    if (!m_speechReported) {
        m_speechReported = true;
        Q_EMIT statusMessage(QStringLiteral("Speech is not available on this computer."));
    }
    return false;
}

void SpeechController::speakText(const QString &text)
{
    if (!speechUsable())
        return;
    m_speech.say(text.isEmpty() ? QString::fromLatin1(kEmptyText) : text);
}

void SpeechController::selectVoice()
{
    if (!speechUsable())
        return;
    m_speech.selectVoice(QString::fromLatin1(kRankList));
}

bool SpeechController::isSpeaking() const
{
    return m_speaking;
}

void SpeechController::stopSpeaking()
{
    m_speech.stop();
}

void SpeechController::showSpeaking(bool speaking)
{
    m_speaking = speaking;
    if (m_playtext)
        m_playtext->setText(QString::fromLatin1(speaking ? kStopPlayText : kPlayText));
    if (m_narration)
        m_narration->setText(QString::fromLatin1(speaking ? kStopTellFlow : kTellFlow));
}

void SpeechController::playPromptText()
{
    if (!m_grid)
        return;
    const QString text = m_grid->fieldValue(QStringLiteral("prompttxt"));
    if (text.isEmpty())
        return;
    // The button speaks when idle and stops speech while it runs.
    if (m_speaking)
        stopSpeaking();
    else
        speakText(text);
}

void SpeechController::setPlayWaveCaption(const char *caption)
{
    if (m_playWave)
        m_playWave->setText(QString::fromLatin1(caption));
}

void SpeechController::playNodeVoiceFile()
{
    if (!m_grid)
        return;
    const QString name = m_grid->fieldValue(QStringLiteral("voicefile"));
    if (name.isNull() || !m_soundOn)
        return;
    const QString path = m_appDir + QStringLiteral("/waves/") + name;
    // The first selection after start-up only sets the caption and silences any sound;
    // from then on each selection plays its file, a new sound replacing one still playing.
    if (m_voiceFilesPlay) {
        setPlayWaveCaption(kStopVoice);
        m_sound.play(path);
    } else {
        m_voiceFilesPlay = true;
        m_sound.stop();
    }
    setPlayWaveCaption(kPlayVoice);
}

void SpeechController::playFromGrid(const QString &cellText)
{
    if (!m_soundOn)
        return;
    // Exactly ".wav" in lower case, as the generated pages name their files.
    if (cellText.endsWith(QLatin1String(".wav"), Qt::CaseSensitive))
        m_sound.play(m_appDir + QStringLiteral("/waves/") + cellText);
}

} // namespace app
