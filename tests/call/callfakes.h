#pragma once

#include "call/clock.h"
#include "call/recorder.h"

// A clock moved by hand: advance() rings the alarm when its time has come.
class FakeClock final : public call::Clock
{
    Q_OBJECT
public:
    qint64 now() const override { return m_now; }
    void startAlarm(qint64 milliseconds) override { m_due = m_now + milliseconds; }
    void stopAlarm() override { m_due = -1; }

    void advance(qint64 milliseconds)
    {
        m_now += milliseconds;
        if (m_due >= 0 && m_now >= m_due) {
            m_due = -1;
            Q_EMIT alarm();
        }
    }

private:
    qint64 m_now = 0;
    qint64 m_due = -1;
};

// A microphone that records `length` milliseconds whenever asked, writes no file, and hears
// silence when the test says so.
class FakeRecorder final : public call::Recorder
{
    Q_OBJECT
public:
    bool available = true;
    bool fails = false;
    bool recording = false;
    qint64 length = 1500;

    bool isAvailable() const override { return available; }
    bool start(const QString &, qint64, QString *error) override
    {
        if (fails) {
            *error = QStringLiteral("device busy");
            return false;
        }
        recording = true;
        return true;
    }
    qint64 stop(QString *) override
    {
        recording = false;
        return length;
    }
    void hearSilence() { Q_EMIT silenceHeard(); }
};
