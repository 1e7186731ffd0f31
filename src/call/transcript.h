#pragma once

#include <QByteArray>
#include <QString>

namespace call {

struct CallEvent;

// The stable written form of a call: one line per event, as text or as JSON. The same flow
// and the same caller's actions always give the same lines; paths of files (which depend on
// where the program runs) are left out.
//
// Text lines are "STEP EVENT DETAILS", STEP the number of the node's step:
//   1 node 1_ answer call          the call runs a node (its key and text)
//   1 answer                       the call is answered
//   2 say Welcome                  flavour tts: the prompt text is spoken
//   2 play greeting.wav            flavour wave: the voice file is played
//   5 play recording 4.0 s         the call's recording is played
//   3 wait entry userid keys 4 term # first 30 inter 30
//                                  an entry: session name, most keys ("any" for no limit),
//                                  terminator ("none"), seconds before the first key and
//                                  between keys; "options N" follows when the entry picks
//                                  one of N children
//   2 wait option 1-3 first 30     an option key, 1 to N, within the seconds given
//   3 key 1                        the caller keys
//   3 time-out                     the caller keyed nothing in time
//   3 entry userid 1234            the entry (nothing after the name when empty)
//   4 record max 60 term # silence 30
//   4 recorded 4.0 s by silence    how it ended: "terminator", "silence" or "limit"
//   6 saved / 6 deleted            the recording is marked saved or discarded
//   2 go option 3 16_ get user id digits
//                                  the call goes on: "next", "back", "option K",
//                                  "time-out", "other-key" or "hang-up", then the node
//   7 note ...                     something the caller should know
//   7 end no-next-step ...         the last line: the reason ("hangup", "caller-hung-up",
//                                  "voice-mail", "no-next-step", "no-section", "loop",
//                                  "flow-changed", "empty-flow", "script-ended"), why
//
// JSON lines are objects with "step", "node" (the node's key) and "event" (the word above),
// and the details by name: "key"/"text" (node, key, go), "text" (say, note, end), "file"
// (play), "seconds" (play recording, recorded), "for", "session", "maxKeys", "terminator",
// "firstTimeout", "interTimeout", "options" (wait), "value" (entry), "maxSeconds",
// "silenceSeconds" (record), "endedBy" (recorded), "move", "option" (go), "reason" (end).
namespace transcript {

QString textLine(const CallEvent &event);
QByteArray jsonLine(const CallEvent &event);

} // namespace transcript
} // namespace call
