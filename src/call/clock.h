#pragma once

#include <QObject>

namespace call {

// The time a test call runs on: one alarm for the wait in progress and a reading of the time
// for recordings held by the caller. QtClock runs on Qt's timers; tests use a clock they
// move by hand.
class Clock : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;
    ~Clock() override = default;

    // Milliseconds since some fixed moment.
    virtual qint64 now() const = 0;
    // Rings alarm() once after `milliseconds`, replacing an alarm still pending.
    virtual void startAlarm(qint64 milliseconds) = 0;
    virtual void stopAlarm() = 0;

Q_SIGNALS:
    void alarm();
};

} // namespace call
