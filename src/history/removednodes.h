#pragma once

#include "model/flowrecord.h"

#include <QList>

#include <optional>

#include <vector>

namespace model {
class FlowStore;
class FlowTree;
struct FlowNode;
} // namespace model

namespace history {

// Nodes about to leave the tree (a removed subtree, a cleared flow) as they are: their
// places in the tree and their rows in the flow table, so that an undo puts both back.
class RemovedNodes
{
public:
    // The subtree of `top`; nullptr: the whole tree.
    RemovedNodes(const model::FlowTree &tree, const model::FlowNode *top);

    // Keeps the nodes' rows as the table holds them now.
    bool readRows(model::FlowStore &store, QString *error);
    void forgetRows() { m_rows.clear(); }
    // The row the removal deleted, which comes back first.
    void setTaken(const std::optional<model::ColumnValues> &row) { m_taken = row; }
    // Puts back the row taken, then each kept row whose node has no row in the table now;
    // a row still there (the rows of a removed node's descendants stay until the next save)
    // is left as it is.
    bool putBackRows(model::FlowStore &store, QString *error) const;
    // Puts the nodes back where they were, into the tree as it was once they had left it:
    // the same parents, places among the siblings and indices.
    void putBackNodes(model::FlowTree &tree) const;

private:
    struct Node
    {
        model::NodeIdentity identity;
        bool topLevel = false;
        int row = 0;   // among its siblings
        int index = 0; // 1-based, among all nodes
    };
    std::vector<Node> m_nodes; // parents before children
    QList<model::ColumnValues> m_rows;
    std::optional<model::ColumnValues> m_taken;
};

} // namespace history
