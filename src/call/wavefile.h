#pragma once

#include <QByteArray>
#include <QString>

namespace call {

// Writes 16-bit PCM samples (little endian, channels interleaved) as a wave file. All or
// nothing: on failure *error says why and no file is left.
bool writeWaveFile(const QString &path, const QByteArray &samples, int sampleRate, int channels,
                   QString *error);

} // namespace call
