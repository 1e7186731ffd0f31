#pragma once

#include "clock.h"

#include <QElapsedTimer>
#include <QTimer>

namespace call {

class QtClock final : public Clock
{
    Q_OBJECT
public:
    explicit QtClock(QObject *parent = nullptr);

    qint64 now() const override { return m_elapsed.elapsed(); }
    void startAlarm(qint64 milliseconds) override;
    void stopAlarm() override { m_timer.stop(); }

private:
    QElapsedTimer m_elapsed;
    QTimer m_timer;
};

} // namespace call
