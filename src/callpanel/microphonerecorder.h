#pragma once

#include "call/recorder.h"

#include <QAudioFormat>
#include <QByteArray>

#include <memory>

class QAudioSource;
class QIODevice;

namespace callpanel {

// Records from the default microphone through Qt Multimedia, as 16-bit PCM, and hears the
// caller fall silent: when the level stays low for the silence time, silenceHeard() is
// emitted. Unavailable on a computer without an audio input; the call then makes stand-in
// recordings.
class MicrophoneRecorder final : public call::Recorder
{
    Q_OBJECT
public:
    explicit MicrophoneRecorder(QObject *parent = nullptr);
    ~MicrophoneRecorder() override;

    bool isAvailable() const override;
    bool start(const QString &path, qint64 silenceMs, QString *error) override;
    qint64 stop(QString *error) override;

private:
    void readSamples();
    qint64 bytesFor(qint64 milliseconds) const;

    std::unique_ptr<QAudioSource> m_source;
    QIODevice *m_input = nullptr;
    QAudioFormat m_format;
    QByteArray m_samples;
    QString m_path;
    qint64 m_silenceBytes = 0;
    qint64 m_quietBytes = 0;
    bool m_heardVoice = false;
    bool m_silenceReported = false;
};

} // namespace callpanel
