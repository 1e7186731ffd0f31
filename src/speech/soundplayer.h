#pragma once

#include <QObject>
#include <QString>

namespace speech {

// Asynchronous wave playback: play() returns at once and a new sound replaces one that
// still plays. A missing or unplayable file plays nothing and reports nothing.
// QtSoundPlayer plays through Qt Multimedia; tests use FakeSoundPlayer (tests/support).
class SoundPlayer : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;
    ~SoundPlayer() override = default;

    virtual void play(const QString &path) = 0;
    virtual void stop() = 0;

Q_SIGNALS:
    // Emitted when sound turns out to be impossible on this machine (no device).
    void unavailable(const QString &reason);
};

} // namespace speech
