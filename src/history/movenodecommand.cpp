#include "movenodecommand.h"

#include "model/flowstore.h"
#include "model/flowtree.h"

#include <algorithm>

namespace history {

MoveNodeCommand::MoveNodeCommand(model::FlowTree &tree, const model::CurrentFlow &flow,
                                 const model::FlowNode *node, const model::FlowNode *target)
    : FlowCommand(tree, flow, QStringLiteral("Move %1").arg(node->text))
    , m_node(model::NodeIdentity::of(*node))
    , m_targetKey(target->key)
    , m_topLevel(!node->parent)
{
    const auto &siblings = tree.siblingsOf(node);
    m_row = int(std::find(siblings.begin(), siblings.end(), node) - siblings.begin());
}

bool MoveNodeCommand::moveRow(model::FlowStore &store, const QString &fromParent,
                              const QString &toParent, bool takeFirst, QString *error)
{
    model::NodeIdentity from = m_node;
    from.parentKey = fromParent;
    QVariant row = m_carried;
    if (row.isNull() && takeFirst) {
        QString why;
        const std::optional<model::ColumnValues> first = store.fetchRow(from, &why);
        if (!why.isEmpty())
            return model::fail(error, why);
        row = first ? first->value(QStringLiteral("ID")) : QVariant();
    }
    m_carried = row;
    if (row.isNull())
        return true; // a node never selected has no row to carry
    switch (store.moveRow(from, toParent, error, row)) {
    case model::FlowStore::Move::Moved:
        return true;
    case model::FlowStore::Move::NoRow:
        return model::fail(error, QStringLiteral("%1 is no longer there.")
                                      .arg(rowLabel(m_node.text)));
    case model::FlowStore::Move::Failed:
        break;
    }
    return false;
}

bool MoveNodeCommand::storeRedo(model::FlowStore &store, QString *error)
{
    model::NodeIdentity there = m_node;
    there.parentKey = m_targetKey;
    QString why;
    m_targetHadRow = store.fetchRow(there, &why).has_value();
    if (!why.isEmpty())
        return model::fail(error, why);
    return moveRow(store, m_node.parentKey, m_targetKey, true, error);
}

bool MoveNodeCommand::storeUndo(model::FlowStore &store, QString *error)
{
    // Without a row carried, a row there now was made by selecting the moved node, unless
    // one matched the node there before the move.
    return moveRow(store, m_targetKey, m_node.parentKey, !m_targetHadRow, error);
}

void MoveNodeCommand::redo()
{
    model::FlowNode *target = m_tree.findKey(m_targetKey);
    m_tree.setParent(m_tree.findKey(m_node.key), target);
}

void MoveNodeCommand::undo()
{
    model::FlowNode *parent = m_topLevel ? nullptr : m_tree.findKey(m_node.parentKey);
    m_tree.moveTo(m_tree.findKey(m_node.key), parent, m_row);
}

} // namespace history
