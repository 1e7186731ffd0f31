#include "pageanchors.h"

#include "findreplace.h"

#include "call/behaviour.h"
#include "model/flowtree.h"

#include <algorithm>

namespace codegen {

PageAnchors::PageAnchors(const model::FlowTree &tree,
                         const std::function<QString(const model::FlowNode &)> &hangupPrompt)
{
    const auto isHangup = [](const model::FlowNode *node) {
        return call::behaviourOf(*node).function == call::Function::Hangup;
    };
    const std::vector<model::FlowNode *> nodes = tree.depthFirst();
    // The voice-mail page ends its calls at "#hangup": whatever else reads so, that anchor
    // is the first hangup's.
    const auto firstHangup = std::find_if(nodes.cbegin(), nodes.cend(), isHangup);
    const QString hangup = QStringLiteral("hangup");
    QSet<QString> taken; // as the page has them: lower case
    if (firstHangup != nodes.cend())
        taken.insert(hangup);
    QHash<QString, const model::FlowNode *> hangupByPrompt;
    for (const model::FlowNode *node : nodes) {
        if (isHangup(node)) {
            // The sink lower-cases the prompt line too: prompts that differ in case only
            // sound the same.
            const QString prompt = hangupPrompt(*node).toLower();
            if (const model::FlowNode *first = hangupByPrompt.value(prompt)) {
                m_anchors.insert(node, m_anchors.value(first));
                m_sharing.insert(node);
                continue;
            }
            hangupByPrompt.insert(prompt, node);
            if (node == *firstHangup) {
                m_anchors.insert(node, hangup);
                continue;
            }
        }
        QString anchor = anchorName(node->text);
        if (taken.contains(anchor.toLower())) {
            anchor = anchorName(node->text + u' ' + node->key);
            // Keys are unique, but another node's text may read like this one's text and key.
            for (int n = 2; taken.contains(anchor.toLower()); ++n)
                anchor = anchorName(node->text + u' ' + node->key + u' ' + QString::number(n));
        }
        taken.insert(anchor.toLower());
        m_anchors.insert(node, anchor);
    }
}

} // namespace codegen
