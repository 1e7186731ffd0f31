#pragma once

#include "soundplayer.h"

#include <memory>

class QAudioOutput;
class QMediaPlayer;

namespace speech {

// Asks Qt Multimedia for its GStreamer backend unless QT_MEDIA_BACKEND names one. Must run
// before anything touches Qt Multimedia (the backend is chosen once per process); both
// engines call it, and main() may call it first.
void preferGStreamerBackend();

// Wave playback through Qt Multimedia's media player: play() returns at once and a new
// sound replaces one still playing. The player is made on the first play, so a window
// that never plays anything never starts the media framework. When no audio output
// device is found, unavailable() is emitted once (playback is still tried: it is silent
// and harmless there).
//
// The GStreamer backend is asked for unless the user chose one: it needs the
// gstreamer1.0-plugins-base and -good packages, and the FFmpeg backend crashes in its
// audio thread on a machine without a sound device.
class QtSoundPlayer final : public SoundPlayer
{
    Q_OBJECT
public:
    explicit QtSoundPlayer(QObject *parent = nullptr);
    ~QtSoundPlayer() override;

    void play(const QString &path) override;
    void stop() override;

    // The path last handed to the media player, empty when none was.
    QString currentPath() const { return m_current; }

private:
    void ensurePlayer();
    void reportUnavailable(const QString &reason);

    std::unique_ptr<QAudioOutput> m_output;
    std::unique_ptr<QMediaPlayer> m_player;
    QString m_current;
    bool m_reported = false;
};

} // namespace speech
