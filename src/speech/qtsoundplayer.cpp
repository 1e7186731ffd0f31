#include "qtsoundplayer.h"

#include <QAudioDevice>
#include <QAudioOutput>
#include <QMediaDevices>
#include <QMediaPlayer>
#include <QUrl>

namespace speech {

void preferGStreamerBackend()
{
    if (qEnvironmentVariableIsEmpty("QT_MEDIA_BACKEND"))
        qputenv("QT_MEDIA_BACKEND", "gstreamer");
}

QtSoundPlayer::QtSoundPlayer(QObject *parent)
    : SoundPlayer(parent)
{
    preferGStreamerBackend();
}

QtSoundPlayer::~QtSoundPlayer()
{
    if (m_player) {
        m_player->disconnect(this);
        m_player->stop();
    }
    m_player.reset();
    m_output.reset();
}

void QtSoundPlayer::reportUnavailable(const QString &reason)
{
    if (m_reported)
        return;
    m_reported = true;
    Q_EMIT unavailable(reason);
}

void QtSoundPlayer::ensurePlayer()
{
    // Qt lists devices through PulseAudio only; GStreamer may still reach a plain ALSA
    // card, and plays into nothing without crashing when there is none, so an empty
    // list is told but does not stop playback.
    if (QMediaDevices::audioOutputs().isEmpty())
        reportUnavailable(QStringLiteral("no audio output device was found"));
    if (m_player)
        return;
    m_output = std::make_unique<QAudioOutput>();
    m_player = std::make_unique<QMediaPlayer>();
    m_player->setAudioOutput(m_output.get());
    // A file that is missing or not a sound plays nothing, silently; only a player that
    // cannot work at all (no media backend) is worth telling about.
    if (!m_player->isAvailable())
        reportUnavailable(QStringLiteral("no media backend is installed"));
}

void QtSoundPlayer::play(const QString &path)
{
    ensurePlayer();
    m_current = path;
    m_player->stop();
    m_player->setSource(QUrl::fromLocalFile(path));
    m_player->play();
}

void QtSoundPlayer::stop()
{
    if (m_player)
        m_player->stop();
}

} // namespace speech
