#pragma once

#include <QString>

namespace call {

// Writes a stand-in recording of the given length: a quiet, steady tone as 8 kHz 16-bit mono
// PCM wave, for calls without a microphone (and every headless call). All or nothing: on
// failure *error says why and no file is left.
bool writeStandInRecording(const QString &path, qint64 milliseconds, QString *error);

} // namespace call
