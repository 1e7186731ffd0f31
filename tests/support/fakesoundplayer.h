#pragma once

#include "speech/soundplayer.h"

#include <QStringList>

// Records what would have been played.
class FakeSoundPlayer final : public speech::SoundPlayer
{
    Q_OBJECT
public:
    using SoundPlayer::SoundPlayer;

    QStringList played;
    int stops = 0;

    void play(const QString &path) override { played << path; }
    void stop() override { ++stops; }
};
