#pragma once

#include "call/nodemoves.h"
#include "model/flowrecord.h"
#include "model/flowstore.h"
#include "model/nodevalues.h"

#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <vector>

namespace model {
class FlowTree;
struct FlowNode;
} // namespace model

namespace checker {

// One node and what the rules ask about it, worked out once per check.
struct NodeFacts
{
    const model::FlowNode *node = nullptr;
    call::NodeMoves moves; // its call function and its ways out, by the call rules
    bool reachable = false; // some call can get to it from the answer-call node
    std::optional<model::ColumnValues> row; // its row in the flow table; nullopt: none
    model::NodeValues values; // the values its pages are written from

    const call::Behaviour &behaviour() const { return *moves.behaviour; }
    // A column as stored; a null string for Null and for a node without a row (the pages
    // then use their defaults).
    QString stored(const QString &column) const;
};

// A mailbox member as the voice mail needs it.
struct MailboxFacts
{
    QString mailbox;
    bool hasFolder = false; // mboxes/<mailbox> exists
};

// Everything a check looks at: the flow with its routes, the node rows, the voice files
// and the members. Gathered once, then read by every rule.
struct FlowFacts
{
    const model::FlowTree *tree = nullptr;
    std::vector<NodeFacts> nodes; // depth first, the order the pages are written in
    const model::FlowNode *start = nullptr;
    std::vector<std::vector<const model::FlowNode *>> silentLoops;
    // The rows of the flow table that loading it leaves out of the flow.
    QList<model::LeftOutRow> leftOut;
    // Lower-cased names of the files in waves/; nullopt when not looked at.
    std::optional<QSet<QString>> waveFiles;
    // The members; nullopt when not looked at. membersError: why they could not be read.
    std::optional<QList<MailboxFacts>> members;
    QString membersError;
    // What could not be read at all, one sentence each.
    QStringList sourceErrors;

    using RowLookup = std::function<std::optional<model::ColumnValues>(const model::FlowNode &)>;
    // The flow's routes, with each node's row from `rowOf`.
    static FlowFacts of(const model::FlowTree &tree, const RowLookup &rowOf);

    const NodeFacts *find(const model::FlowNode *node) const;
    // Position of the node in `nodes`; -1 when it is not there.
    int orderOf(const model::FlowNode *node) const;

private:
    QHash<const model::FlowNode *, int> m_order;
};

// Where the facts are read from: the application folder (waves/, memberDB.mdb, mboxes/)
// and the flow table holding the node rows (none: every node without a row).
struct FlowSources
{
    QString appDir;
    QString databasePath;
    QString table;
};

// The facts of `tree`, read from the sources. What cannot be read is named in
// sourceErrors and left out of the facts.
FlowFacts gatherFacts(const model::FlowTree &tree, const FlowSources &sources);

} // namespace checker
