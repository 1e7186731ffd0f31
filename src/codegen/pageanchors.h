#pragma once

#include <QHash>
#include <QSet>
#include <QString>

#include <functional>

namespace model {
class FlowTree;
struct FlowNode;
} // namespace model

namespace codegen {

// The anchor of every node of a WTE page, so that a jump to a node lands in its own section.
// A node's anchor is its text with blanks as "-" (anchorName); a node whose anchor an
// earlier node (in walk order) already has, as the page reads it (in lower case), gets its
// text and key instead ("play-main-greetings-5_"). A flow of distinct texts keeps the
// anchors it always had.
//
// Hangup nodes that play the same prompt share one section, the first one's: the voice-mail
// page ends its calls at "#hangup", and pages with one goodbye stay as they were. A hangup
// with a prompt of its own gets a section of its own.
class PageAnchors
{
public:
    // `hangupPrompt` gives the prompt line a hangup node plays on this page.
    PageAnchors(const model::FlowTree &tree,
                const std::function<QString(const model::FlowNode &)> &hangupPrompt);

    // The node's anchor, without "#".
    QString of(const model::FlowNode &node) const { return m_anchors.value(&node); }
    // A hangup that plays what an earlier one plays: it writes no section of its own.
    bool sharesSection(const model::FlowNode &node) const { return m_sharing.contains(&node); }

private:
    QHash<const model::FlowNode *, QString> m_anchors;
    QSet<const model::FlowNode *> m_sharing;
};

} // namespace codegen
