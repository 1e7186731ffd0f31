#pragma once

#include "benchtiming.h"

#include "model/flowtree.h"

#include <QString>

#include <algorithm>
#include <vector>

// The large flow the benchmarks work on: breadth first from the root, node i gets
// (i mod 9) + 1 children until the tree is full, the call functions in turn, so that every
// function and menus of up to nine children occur.
inline void buildBenchFlow(model::FlowTree &tree, int nodes)
{
    static const char *const kFunctions[] = {
        "play main greetings",     "get user id digits",        "get password digits",
        "play personal greetings", "get option digits",         "process recorded messages",
        "record message",          "play message options",      "delete recorded message",
        "save recorded message",   "re-record messages",        "hear recorded message",
        "hangup",
    };
    tree.clear();
    std::vector<model::FlowNode *> queue{tree.addTopLevel(QStringLiteral("1_"),
                                                          QStringLiteral("answer call"))};
    int made = 1;
    for (size_t head = 0; head < queue.size() && made < nodes; ++head) {
        const int children = int(head % 9) + 1;
        for (int c = 0; c < children && made < nodes; ++c) {
            const QString text = QString::fromLatin1(kFunctions[made % 13]);
            queue.push_back(tree.add(queue[head], model::FlowTree::Relation::LastChild,
                                     QStringLiteral("%1_").arg(made + 1), text));
            ++made;
        }
    }
}
