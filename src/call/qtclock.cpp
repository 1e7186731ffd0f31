#include "qtclock.h"

#include <limits>

namespace call {

QtClock::QtClock(QObject *parent)
    : Clock(parent)
{
    m_elapsed.start();
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &Clock::alarm);
}

void QtClock::startAlarm(qint64 milliseconds)
{
    m_timer.start(int(std::clamp<qint64>(milliseconds, 0, std::numeric_limits<int>::max())));
}

} // namespace call
