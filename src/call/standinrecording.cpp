#include "standinrecording.h"

#include "wavefile.h"

#include <QtEndian>

#include <cmath>
#include <numbers>

namespace call {

bool writeStandInRecording(const QString &path, qint64 milliseconds, QString *error)
{
    constexpr int kRate = 8000;
    const qint64 count = std::max<qint64>(0, milliseconds) * kRate / 1000;
    QByteArray samples(qsizetype(count * 2), Qt::Uninitialized);
    for (qint64 i = 0; i < count; ++i) {
        const double t = double(i) / kRate;
        qToLittleEndian(qint16(1500 * std::sin(2 * std::numbers::pi * 440 * t)),
                        samples.data() + i * 2);
    }
    return writeWaveFile(path, samples, kRate, 1, error);
}

} // namespace call
