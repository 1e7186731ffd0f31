#pragma once

#include "recording.h"

#include <QString>

namespace call {

// Why a call ended.
enum class EndReason {
    HungUp,      // a hangup node ended it
    CallerHungUp,
    VoiceMail,   // it left for the voice mail, and no voice mail took it
    NoNextStep,  // it reached a node without a child
    NoSection,   // it reached a node that names no call function
    Loop,        // it ran the step limit without waiting for the caller
    FlowChanged, // the flow was edited while the call ran
    EmptyFlow,   // there was no node to start at
    ScriptEnded, // a scripted caller ran out of actions and hung up
};

// One thing that happened in a call, in order. `step` counts the nodes the call has run
// (the first node is step 1); `nodeKey` and `nodeText` name the node of that step. The
// other fields are used by the kinds noted beside them.
struct CallEvent
{
    enum class Kind {
        Node,     // the call runs a node
        Answer,   // the call is answered
        Prompt,   // the caller hears `text`: see `prompt`
        Wait,     // the call waits for keys: see `waitFor` and the wait fields
        Key,      // the caller keys `text`
        TimeOut,  // the caller keyed nothing in time
        Entry,    // an entry is complete: `session` = `text`
        Record,   // the call records: `maxSeconds`, `terminator`, `silenceSeconds`
        Recorded, // a recording ended: `milliseconds`, `endedBy`, `path`
        Saved,    // the recording is marked saved
        Deleted,  // the recording is discarded
        Move,     // the call goes on: `move` labels it, `targetKey`/`targetText` name where
        Note,     // something the caller should know, in `text`
        End,      // the call is over: `endReason`, and `text` says why
    };
    enum class PromptKind { Speech, VoiceFile, Recording };
    enum class WaitFor { Entry, Option };

    Kind kind = Kind::Note;
    int step = 0;
    QString nodeKey;
    QString nodeText;
    QString text;

    PromptKind prompt = PromptKind::Speech; // Prompt: `text` is the words, a voice file's
    QString path;                           // name, or the recording's; `path` the file

    WaitFor waitFor = WaitFor::Entry;       // Wait
    QString session;                        // Wait (entry), Entry
    int maxKeys = 0;                        // Wait (entry): 0 for no limit
    QString terminator;                     // Wait (entry), Record: empty for none
    int firstTimeout = 0;                   // Wait: seconds before the first key
    int interTimeout = 0;                   // Wait (entry): seconds between keys
    int options = 0;                        // Wait (option): keys 1 to `options` lead on;
                                            // Wait (entry) of an entry-is-option node too
    int maxSeconds = 0;                     // Record
    int silenceSeconds = 0;                 // Record
    qint64 milliseconds = 0;                // Recorded, Prompt of the recording
    Recording::EndedBy endedBy = Recording::EndedBy::Silence; // Recorded

    QString move;                           // Move: "next", "back", "option", "time-out",
    QString option;                         // "other-key"; `option` the key for "option"
    QString targetKey;
    QString targetText;

    EndReason endReason = EndReason::HungUp; // End
};

} // namespace call
