#include "standinrecording.h"

#include <QSaveFile>
#include <QtEndian>

#include <cmath>
#include <numbers>

namespace call {

namespace {

constexpr int kRate = 8000;

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

bool writeStandInRecording(const QString &path, qint64 milliseconds, QString *error)
{
    const qint64 samples = std::max<qint64>(0, milliseconds) * kRate / 1000;
    const quint32 dataBytes = quint32(samples * 2);
    QByteArray wave;
    wave.reserve(44 + qsizetype(dataBytes));
    wave.append("RIFF", 4);
    append32(wave, 36 + dataBytes);
    wave.append("WAVEfmt ", 8);
    append32(wave, 16);
    append16(wave, 1); // PCM
    append16(wave, 1); // mono
    append32(wave, kRate);
    append32(wave, kRate * 2);
    append16(wave, 2);
    append16(wave, 16);
    wave.append("data", 4);
    append32(wave, dataBytes);
    for (qint64 i = 0; i < samples; ++i) {
        const double t = double(i) / kRate;
        append16(wave, quint16(qint16(1500 * std::sin(2 * std::numbers::pi * 440 * t))));
    }

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(wave) != wave.size() || !file.commit()) {
        *error = file.errorString();
        return false;
    }
    return true;
}

} // namespace call
