#pragma once

#include <QString>

namespace model {
struct FlowNode;
}

// The call rules: how a call moves through a flow. The call engine, the flow checker, the
// VoiceXML writer and the diagram all ask here, so that they agree with each other and with
// the generated pages.
namespace call {

// The fourteen call functions, and Unknown for a node text that names none.
enum class Function {
    AnswerCall,
    PlayMainGreetings,
    PlayPersonalGreetings,
    GetUserIdDigits,
    GetPasswordDigits,
    GetOptionDigits,
    PlayMessageOptions,
    ProcessRecordedMessages,
    RecordMessage,
    HearRecordedMessage,
    SaveRecordedMessage,
    DeleteRecordedMessage,
    RerecordMessages,
    Hangup,
    Unknown,
};

// What a node does when the call reaches it, before it moves on.
enum class Action {
    Answer,          // answers the call; nothing is heard
    Prompt,          // plays the node's prompt
    CollectDigits,   // plays the prompt, then collects an entry of keys
    Record,          // plays the prompt, then records the caller's message
    HearRecording,   // plays this call's recording
    SaveRecording,   // plays the prompt and marks the recording saved
    DeleteRecording, // plays the prompt and discards the recording
    Rerecord,        // nothing is heard
    VoiceMail,       // plays the prompt and hands the call to the voice mail
    HangUp,          // plays the prompt and ends the call
    None,            // the page has no section for the node: the call cannot go on there
};

// What the caller hears at the node.
enum class PromptSource { None, NodePrompt, Recording };

// How the node goes on once its action is done.
enum class Continuation {
    ByChildren,   // none: no next step; one: on to it; more: the caller keys the option
    BackToParent, // straight back to the parent
    EndsCall,
    ToVoiceMail,
    Nowhere,      // the call stays where it is (a node the page has no section for)
};

// The behaviour of one call function, as its page section carries it out.
struct Behaviour
{
    Function function;
    const char16_t *name; // the node text that stands for it ("answer call", ...)
    Action action;
    PromptSource prompt;
    Continuation continuation;
    // The page's session name of the entry ("userid", "userpin", "optionDigit",
    // "msgDigit"); empty for the functions that collect nothing.
    const char16_t *sessionName;
    // The entry itself is the option that picks the child (no separate key press).
    bool entryIsOption;

    bool collectsDigits() const { return action == Action::CollectDigits; }
    bool records() const { return action == Action::Record; }
    bool goesOnByChildren() const { return continuation == Continuation::ByChildren; }
    QString functionName() const { return QString::fromUtf16(name); }
    QString session() const { return QString::fromUtf16(sessionName); }
};

// The behaviour a node text stands for, compared exactly as the page generator does
// (case and blanks count); Unknown for any other text. "answer call" is the answer-call
// function only at the top of a flow: see behaviourOf(const FlowNode &).
const Behaviour &behaviourOf(const QString &nodeText);
// The behaviour of a node where it stands: every top-level node answers the call, whatever
// its text (the page writes an answer-call section for it); below the top level a node is
// known by its text, and "answer call" there names nothing the page can run.
const Behaviour &behaviourOf(const model::FlowNode &node);
const Behaviour &behaviourOf(Function function);

} // namespace call
