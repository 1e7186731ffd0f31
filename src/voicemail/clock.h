#pragma once

#include <QDateTime>
#include <QString>

namespace voicemail {

// Where the voice mail reads the time: message ages, time stamps and the minute a
// forwarded message arrives under. The window uses the system clock; scripted calls give
// a fixed time (--now) so that the same call always says the same.
class Clock
{
public:
    virtual ~Clock() = default;
    virtual QDateTime now() const = 0;
};

class SystemClock final : public Clock
{
public:
    QDateTime now() const override { return QDateTime::currentDateTime(); }
};

class FixedClock final : public Clock
{
public:
    explicit FixedClock(const QDateTime &now) : m_now(now) {}
    QDateTime now() const override { return m_now; }
    void set(const QDateTime &now) { m_now = now; }

private:
    QDateTime m_now;
};

// Reads the --now value "YYYY-MM-DDTHH:MM"; an invalid QDateTime when the text is not
// exactly that or names no real time.
QDateTime parseNow(const QString &text);

} // namespace voicemail
