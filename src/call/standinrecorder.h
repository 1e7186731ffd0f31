#pragma once

#include "recorder.h"

namespace call {

class Clock;

// Records without a microphone: the recording lasts from start to stop by the clock, and the
// file is a stand-in tone of that length (standinrecording.h). It hears no silence: the
// caller ends it with the terminator or "No Input".
class StandInRecorder final : public Recorder
{
    Q_OBJECT
public:
    explicit StandInRecorder(const Clock &clock, QObject *parent = nullptr);

    bool isAvailable() const override { return true; }
    bool start(const QString &path, qint64 silenceMs, QString *error) override;
    qint64 stop(QString *error) override;

private:
    const Clock &m_clock;
    QString m_path;
    qint64 m_started = 0;
};

} // namespace call
