#pragma once

#include <QString>

namespace call {

// A message the caller recorded: a wave file in the call's temporary folder, never in the
// application folder.
struct Recording
{
    enum class EndedBy { Terminator, Silence, MaxLength };

    QString path;
    qint64 milliseconds = 0;
    EndedBy endedBy = EndedBy::Silence;
};

} // namespace call
