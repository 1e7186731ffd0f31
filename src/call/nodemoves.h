#pragma once

#include "behaviour.h"

#include <QString>

#include <vector>

namespace model {
class FlowTree;
struct FlowNode;
} // namespace model

namespace call {

// What makes the call take a move.
enum class Trigger {
    AfterAction, // at once when the node's action is done: no key is needed
    OptionKey,   // the caller keys the option `key` (for an entry-is-option node: enters it)
    TimeOut,     // the wait for an option runs out (an entry-is-option node: nothing entered)
    OtherKey,    // any key or entry that names no option
};

// Where a move takes the call.
enum class Outcome {
    ToNode,     // on to `target`
    EndsCall,   // the hang-up ends the call
    VoiceMail,  // the call leaves the flow for the voice mail
    NoNextStep, // the node has no child: the call stays there, the flow has no next step
    NoSection,  // the node names no call function: the page has no section to run
};

// One way out of a node: the page's navigation it stands for is one line of the page
// (a jump, a menu entry, the menu's time-out or error target, the hang-up, the hand-over
// to the voice-mail page) or the absence of any.
struct Move
{
    Trigger trigger = Trigger::AfterAction;
    Outcome outcome = Outcome::ToNode;
    QString key;                              // "1" to "6" for OptionKey, else empty
    const model::FlowNode *target = nullptr;  // set for ToNode only

    // Back up the tree (to the parent, or the answer-call node to itself): diagrams draw
    // these dashed.
    bool goesBack = false;
    // The call ends or leaves the flow with this move (an end-of-call mark).
    bool endsCall() const { return outcome != Outcome::ToNode; }
    // A short label for diagrams and transcripts: "1" to "6", "time-out", "other key",
    // "back", "hang up", "voice mail", "no next step", "no section"; empty for the
    // single child's jump.
    QString label() const;
};

// Everything the rules say about one node of a flow.
struct NodeMoves
{
    const model::FlowNode *node = nullptr;
    const Behaviour *behaviour = nullptr;
    // The node offers its children as options 1 to 6 (two or more children, a node that
    // goes on by its children).
    bool offersOptions = false;
    // The call stops at the node until the caller does something: it collects an entry,
    // records, or offers options. A route through nodes that do not wait cannot be left by
    // the caller.
    bool waitsForCaller = false;
    // The ways out, in a fixed order: after the action; options 1 to 6; time-out; other key.
    std::vector<Move> moves;
    // Children no move of this node leads to: the seventh and later of a node that offers
    // options, or every child of a node that does not go on by its children.
    std::vector<const model::FlowNode *> unreachableChildren;

    // The move the node takes when its action is done (nullptr when it waits for an option).
    const Move *afterAction() const;
    // The move for a key or an entry given as the option: its option, else "other key".
    // nullptr when the node offers no options.
    const Move *forOption(const QString &keys) const;
    const Move *onTimeOut() const;
};

// The node the call goes back to from `node`: its parent; for a top-level node the flow's
// answer-call node (which goes back to itself), as every page section's menu does.
const model::FlowNode *backTarget(const model::FlowTree &tree, const model::FlowNode &node);

// The moves of a node of `tree`.
NodeMoves movesOf(const model::FlowTree &tree, const model::FlowNode &node);

// The page offers at most six options a node.
constexpr int kMaxOptions = 6;

} // namespace call
