#include "standinrecorder.h"

#include "clock.h"
#include "standinrecording.h"

namespace call {

StandInRecorder::StandInRecorder(const Clock &clock, QObject *parent)
    : Recorder(parent)
    , m_clock(clock)
{
}

bool StandInRecorder::start(const QString &path, qint64, QString *)
{
    m_path = path;
    m_started = m_clock.now();
    return true;
}

qint64 StandInRecorder::stop(QString *error)
{
    const qint64 length = std::max<qint64>(0, m_clock.now() - m_started);
    writeStandInRecording(m_path, length, error);
    return length;
}

} // namespace call
