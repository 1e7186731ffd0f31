#include "wavefile.h"

#include <QSaveFile>
#include <QtEndian>

namespace call {

namespace {

void append32(QByteArray &out, quint32 value)
{
    char bytes[4];
    qToLittleEndian(value, bytes);
    out.append(bytes, 4);
}

void append16(QByteArray &out, quint16 value)
{
    char bytes[2];
    qToLittleEndian(value, bytes);
    out.append(bytes, 2);
}

} // namespace

bool writeWaveFile(const QString &path, const QByteArray &samples, int sampleRate, int channels,
                   QString *error)
{
    const auto dataBytes = quint32(samples.size());
    QByteArray header;
    header.append("RIFF", 4);
    append32(header, 36 + dataBytes);
    header.append("WAVEfmt ", 8);
    append32(header, 16);
    append16(header, 1); // PCM
    append16(header, quint16(channels));
    append32(header, quint32(sampleRate));
    append32(header, quint32(sampleRate * channels * 2));
    append16(header, quint16(channels * 2));
    append16(header, 16);
    header.append("data", 4);
    append32(header, dataBytes);

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(header) != header.size()
        || file.write(samples) != samples.size() || !file.commit()) {
        *error = file.errorString();
        return false;
    }
    return true;
}

} // namespace call
