#pragma once

#include "model/flowtree.h"

#include <QRandomGenerator>
#include <QString>
#include <QStringList>

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

// A flow of random call functions under random parents: most nodes one of the thirteen
// functions below the top, now and then a text that names none, and now and then seven
// children at once under one node.
inline std::unique_ptr<model::FlowTree> randomFlow(QRandomGenerator &random)
{
    static const QStringList texts{
        "play main greetings", "play personal greetings", "get user id digits",
        "get password digits", "get option digits", "play message options",
        "process recorded messages", "record message", "hear recorded message",
        "save recorded message", "delete recorded message", "re-record messages", "hangup",
        "answer call", "Play Main Greetings"};
    auto tree = std::make_unique<model::FlowTree>();
    tree->addTopLevel(QStringLiteral("1_"), QStringLiteral("answer call"));
    const int count = random.bounded(2, 80);
    while (tree->count() < count) {
        model::FlowNode *parent = tree->node(1 + random.bounded(tree->count()));
        const int burst = random.bounded(10) == 0 ? 7 : 1;
        for (int i = 0; i < burst; ++i) {
            const int pick = random.bounded(100);
            const QString text = pick < 96 ? texts.at(pick % 13) : texts.at(13 + pick % 2);
            tree->add(parent, model::FlowTree::Relation::LastChild, tree->nextKey(), text);
        }
    }
    return tree;
}
