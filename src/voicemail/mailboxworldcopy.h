#pragma once

#include <QString>

namespace voicemail {

// Copies what a voice-mail call changes (memberDB.mdb and the mboxes folder) from
// `appDir` into the empty folder `copyDir`, so that a call can run on the copy and leave
// the application folder as it was.
bool copyMailboxWorld(const QString &appDir, const QString &copyDir, QString *error);

} // namespace voicemail
