#pragma once

#include "model/flowtree.h"

#include <QString>

#include <memory>

// Builds a flow tree from a short text: node texts, children in parentheses, siblings
// separated by ";". "answer call(play main greetings(hangup);record message)" gives the
// answer-call node 1_ with children 2_ (whose child is 3_) and 4_: keys are handed out in
// the order the texts appear.
inline std::unique_ptr<model::FlowTree> buildFlow(const QString &text)
{
    auto tree = std::make_unique<model::FlowTree>();
    model::FlowNode *parent = nullptr;
    model::FlowNode *last = nullptr;
    QString name;
    int next = 1;
    auto flush = [&] {
        const QString t = name.trimmed();
        name.clear();
        if (t.isEmpty())
            return;
        const QString key = QString::number(next++) + u'_';
        last = parent ? tree->add(parent, model::FlowTree::Relation::LastChild, key, t)
                      : tree->addTopLevel(key, t);
    };
    for (const QChar c : text) {
        if (c == u'(') {
            flush();
            parent = last;
        } else if (c == u')') {
            flush();
            last = parent;
            parent = parent ? parent->parent : nullptr;
        } else if (c == u';') {
            flush();
        } else {
            name += c;
        }
    }
    flush();
    return tree;
}
