#pragma once

#include "flowrecord.h"

#include <QHash>
#include <QVariantList>

#include <optional>

namespace model {

// The property columns of a flow table's rows by node identity, read in one pass: what a
// save keeps of each node, and what a generation looks every node up in. As for a single
// fetch, texts compare without regard to (ASCII) case and the first row in table order wins.
class NodeRows
{
public:
    // `properties` in the order of flowcolumns::propertyColumns(); a later row of the same
    // node is ignored.
    void insert(const NodeIdentity &node, const QVariantList &properties);
    // The node's property columns by name; nullopt when the node has no row.
    std::optional<ColumnValues> find(const NodeIdentity &node) const;
    // In the order of flowcolumns::propertyColumns(); empty when the node has no row.
    QVariantList properties(const NodeIdentity &node) const;
    qsizetype size() const { return m_rows.size(); }

private:
    static QString hashKey(const NodeIdentity &node);

    QHash<QString, QVariantList> m_rows;
};

} // namespace model
