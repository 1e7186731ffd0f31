#include "pageanchors.h"

#include "findreplace.h"

#include "call/behaviour.h"
#include "model/flowtree.h"

namespace codegen {

PageAnchors::PageAnchors(const model::FlowTree &tree,
                         const std::function<QString(const model::FlowNode &)> &hangupPrompt)
{
    QSet<QString> taken; // as the page has them: lower case
    QHash<QString, const model::FlowNode *> hangupByPrompt;
    for (const model::FlowNode *node : tree.depthFirst()) {
        if (call::behaviourOf(*node).function == call::Function::Hangup) {
            // The sink lower-cases the prompt line too: prompts that differ in case only
            // sound the same.
            const QString prompt = hangupPrompt(*node).toLower();
            if (const model::FlowNode *first = hangupByPrompt.value(prompt)) {
                m_anchors.insert(node, m_anchors.value(first));
                m_sharing.insert(node);
                continue;
            }
            hangupByPrompt.insert(prompt, node);
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
