#pragma once

#include <QList>
#include <QString>

namespace call {

// One action of a scripted caller.
struct ScriptAction
{
    enum class Kind { Keys, TimeOut, HangUp, Speak };
    Kind kind = Kind::Keys;
    // Keys: the keys, in order. Speak: the keys pressed after speaking (may be empty).
    QString keys;
    // Speak: how long the caller speaks into a recording, in seconds.
    int seconds = 0;
    // The action as written, for messages.
    QString text;
};

// A caller's actions as the command line takes them: separated by commas, each one of
//   keys     digits, * and #, keyed one after another ("1234#")
//   T        nothing keyed: the wait times out (a recording ends by silence at once)
//   H        the caller hangs up
//   R<n>     the caller speaks n seconds into a recording, then is silent; keys may
//            follow ("R5#": the terminator after five seconds)
// Blanks around an action are ignored; T, H and R may be lower case. An empty script is
// no action at all. On a mistake, *error names the action and the list is empty.
QList<ScriptAction> parseCallScript(const QString &script, QString *error);

} // namespace call
