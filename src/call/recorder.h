#pragma once

#include <QObject>
#include <QString>

namespace call {

// Records the caller's message into a wave file. The Test Call tab records from the default
// microphone where there is one; otherwise, and in tests, a stand-in recorder makes a file
// of the length the caller holds the recording.
class Recorder : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;
    ~Recorder() override = default;

    // False when this recorder cannot record on this computer (no microphone).
    virtual bool isAvailable() const = 0;
    // Starts recording into `path`. `silenceMs` of silence ends the recording (silenceHeard()
    // is emitted) where the recorder can hear it. False with *error when it cannot start.
    virtual bool start(const QString &path, qint64 silenceMs, QString *error) = 0;
    // Ends the recording and completes the file; its length in milliseconds. *error says
    // what went wrong when the file could not be written.
    virtual qint64 stop(QString *error) = 0;

Q_SIGNALS:
    void silenceHeard();
};

} // namespace call
