#include "removednodes.h"

#include "model/flowstore.h"
#include "model/noderows.h"
#include "model/flowtree.h"

#include <algorithm>

namespace history {

namespace {
model::NodeIdentity identityOf(const model::ColumnValues &row)
{
    return {row.value(QStringLiteral("parent")).toString(),
            row.value(QStringLiteral("key")).toString(),
            row.value(QStringLiteral("text")).toString(),
            row.value(QStringLiteral("image")).toInt(),
            row.value(QStringLiteral("selectedimage")).toInt()};
}

// The table's rows by node, read in one pass: a search per node would scan the whole table
// each time, as the index on the key does not serve a match without regard to case.
class RowsByNode
{
public:
    bool read(model::FlowStore &store, QString *error)
    {
        const auto rows = store.readWholeRows(error);
        if (!rows)
            return false;
        for (const model::FlowStore::WholeRow &row : *rows)
            add(row.node, row.values);
        return true;
    }
    // The node's first row, as the store's fetchRow finds it; nullptr when it has none.
    const model::ColumnValues *first(const model::NodeIdentity &node) const
    {
        const QVariantList at = m_index.properties(node);
        return at.isEmpty() ? nullptr : &m_rows.at(at.first().toInt());
    }
    void add(const model::NodeIdentity &node, const model::ColumnValues &row)
    {
        m_rows << row;
        // NodeRows matches nodes as the store does and keeps the first row of each; here
        // it keeps where that row is.
        m_index.insert(node, {QVariant(int(m_rows.size() - 1))});
    }

private:
    QList<model::ColumnValues> m_rows;
    model::NodeRows m_index;
};
} // namespace

RemovedNodes::RemovedNodes(const model::FlowTree &tree, const model::FlowNode *top)
{
    // One pass over the order gives every index, instead of a search per node.
    QHash<const model::FlowNode *, int> indices;
    for (int i = 1; i <= tree.count(); ++i)
        indices.insert(tree.node(i), i);
    std::vector<model::FlowNode *> nodes;
    if (top) {
        nodes.push_back(const_cast<model::FlowNode *>(top));
        for (size_t i = 0; i < nodes.size(); ++i)
            nodes.insert(nodes.end(), nodes[i]->children.begin(), nodes[i]->children.end());
    } else {
        nodes = tree.depthFirst();
    }
    m_nodes.reserve(nodes.size());
    for (const model::FlowNode *n : nodes) {
        const auto &siblings = tree.siblingsOf(n);
        const int row = int(std::find(siblings.begin(), siblings.end(), n) - siblings.begin());
        m_nodes.push_back({model::NodeIdentity::of(*n), !n->parent, row, indices.value(n)});
    }
}

bool RemovedNodes::readRows(model::FlowStore &store, QString *error)
{
    m_rows.clear();
    RowsByNode table;
    if (!table.read(store, error))
        return false;
    for (const Node &n : m_nodes) {
        if (const model::ColumnValues *row = table.first(n.identity))
            m_rows << *row;
    }
    return true;
}

bool RemovedNodes::putBackRows(model::FlowStore &store, QString *error) const
{
    RowsByNode table;
    if (!table.read(store, error))
        return false;
    const QString id = QStringLiteral("ID");
    // The row taken is back when its node's first row is that very row; the others when
    // their node has any row (a save in between gave the rows new IDs).
    auto putBack = [&](const model::ColumnValues &row, bool sameId) {
        const model::NodeIdentity node = identityOf(row);
        const model::ColumnValues *now = table.first(node);
        if (now && (!sameId || now->value(id) == row.value(id)))
            return true;
        if (!store.putBackRow(row, error))
            return false;
        table.add(node, row);
        return true;
    };
    if (m_taken && !putBack(*m_taken, true))
        return false;
    for (const model::ColumnValues &row : m_rows) {
        if (!putBack(row, false))
            return false;
    }
    return true;
}

void RemovedNodes::putBackNodes(model::FlowTree &tree) const
{
    // A node's index counts the nodes before it: those that stayed, in their order, and
    // those of ours already back.
    std::vector<int> sorted;
    sorted.reserve(m_nodes.size());
    for (const Node &n : m_nodes)
        sorted.push_back(n.index);
    std::sort(sorted.begin(), sorted.end());
    std::vector<int> back;
    back.reserve(m_nodes.size());
    for (const Node &n : m_nodes) {
        const int oursBefore = int(std::lower_bound(sorted.begin(), sorted.end(), n.index)
                                   - sorted.begin());
        const int stayedBefore = n.index - 1 - oursBefore;
        const int backBefore = int(std::count_if(back.begin(), back.end(),
                                                 [&n](int i) { return i < n.index; }));
        model::FlowNode *parent = n.topLevel ? nullptr : tree.findKey(n.identity.parentKey);
        tree.insertAt(parent, n.row, stayedBefore + backBefore + 1, n.identity.key,
                      n.identity.text, n.identity.image, n.identity.selectedImage);
        back.push_back(n.index);
    }
}

} // namespace history
