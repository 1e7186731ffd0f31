#pragma once

#include "problem.h"

#include <QString>

#include <span>
#include <vector>

namespace model {
struct FlowNode;
}

namespace checker {

struct FlowFacts;

// What the rules of one check found, each at a node of the tree, at a row of the flow
// table, or at the flow as a whole; the checker adds the rule and its severity.
class Findings
{
public:
    void at(const model::FlowNode *node, const QString &message, const QString &column = {});
    void atFlow(const QString &message);
    void atRow(const QString &key, const QString &text, const QString &message);

    struct Finding
    {
        const model::FlowNode *node = nullptr; // nullptr: a row or the flow
        Problem problem;
    };
    std::vector<Finding> items;
};

// One rule: its id, how bad what it finds is, which targets it is about (TargetUse flags
// of which the target must have one; 0 for every target), and the function that looks.
struct Rule
{
    const char *id;
    Severity severity;
    unsigned uses;
    void (*find)(const FlowFacts &facts, Findings &out);
};

// Every rule, in the order its problems are listed at a node.
std::span<const Rule> rules();

} // namespace checker
