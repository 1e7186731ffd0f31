#include "microphonerecorder.h"

#include "call/wavefile.h"
#include "speech/qtsoundplayer.h"

#include <QAudioDevice>
#include <QAudioSource>
#include <QMediaDevices>
#include <QtEndian>

#include <cstdlib>

namespace callpanel {

namespace {

// Below this peak level (of 32767) a stretch of samples counts as silence.
constexpr int kQuietLevel = 800;

} // namespace

MicrophoneRecorder::MicrophoneRecorder(QObject *parent)
    : call::Recorder(parent)
{
    speech::preferGStreamerBackend();
}

MicrophoneRecorder::~MicrophoneRecorder()
{
    if (m_source)
        m_source->stop();
}

bool MicrophoneRecorder::isAvailable() const
{
    return !QMediaDevices::defaultAudioInput().isNull();
}

qint64 MicrophoneRecorder::bytesFor(qint64 milliseconds) const
{
    return milliseconds * m_format.sampleRate() / 1000 * m_format.channelCount() * 2;
}

bool MicrophoneRecorder::start(const QString &path, qint64 silenceMs, QString *error)
{
    const QAudioDevice device = QMediaDevices::defaultAudioInput();
    if (device.isNull()) {
        *error = QStringLiteral("no microphone");
        return false;
    }
    // The recordings are wave files of 16-bit samples: ask for those, at the device's rate
    // when it cannot do telephone quality.
    QAudioFormat format;
    format.setSampleRate(8000);
    format.setChannelCount(1);
    format.setSampleFormat(QAudioFormat::Int16);
    if (!device.isFormatSupported(format)) {
        format = device.preferredFormat();
        format.setSampleFormat(QAudioFormat::Int16);
        if (!device.isFormatSupported(format)) {
            *error = QStringLiteral("the microphone gives no 16-bit samples");
            return false;
        }
    }
    m_format = format;
    m_path = path;
    m_samples.clear();
    m_quietBytes = 0;
    m_heardVoice = false;
    m_silenceReported = false;
    m_silenceBytes = bytesFor(silenceMs);
    m_source = std::make_unique<QAudioSource>(device, format);
    m_input = m_source->start();
    if (!m_input) {
        *error = QStringLiteral("the microphone cannot be opened");
        m_source.reset();
        return false;
    }
    connect(m_input, &QIODevice::readyRead, this, &MicrophoneRecorder::readSamples);
    return true;
}

void MicrophoneRecorder::readSamples()
{
    if (!m_input)
        return;
    const QByteArray chunk = m_input->readAll();
    m_samples += chunk;
    int peak = 0;
    for (qsizetype i = 0; i + 1 < chunk.size(); i += 2)
        peak = std::max(peak, std::abs(int(qFromLittleEndian<qint16>(chunk.constData() + i))));
    if (peak >= kQuietLevel) {
        m_heardVoice = true;
        m_quietBytes = 0;
        return;
    }
    // Silence ends a message, not the pause before it starts.
    m_quietBytes += chunk.size();
    if (m_heardVoice && !m_silenceReported && m_silenceBytes > 0
        && m_quietBytes >= m_silenceBytes) {
        m_silenceReported = true;
        Q_EMIT silenceHeard();
    }
}

qint64 MicrophoneRecorder::stop(QString *error)
{
    if (!m_source)
        return 0;
    readSamples();
    m_source->stop();
    m_source.reset();
    m_input = nullptr;
    const int bytesPerSecond = m_format.sampleRate() * m_format.channelCount() * 2;
    const qint64 length = bytesPerSecond > 0 ? qint64(m_samples.size()) * 1000 / bytesPerSecond
                                             : 0;
    call::writeWaveFile(m_path, m_samples, m_format.sampleRate(), m_format.channelCount(), error);
    m_samples.clear();
    return length;
}

} // namespace callpanel
