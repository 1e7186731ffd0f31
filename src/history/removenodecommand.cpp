#include "removenodecommand.h"

#include "model/flowstore.h"
#include "model/flowtree.h"

namespace history {

RemoveNodeCommand::RemoveNodeCommand(model::FlowTree &tree, const model::CurrentFlow &flow,
                                     const model::FlowNode *node)
    : FlowCommand(tree, flow, QStringLiteral("Remove %1").arg(node->text))
    , m_key(node->key)
    , m_nodes(tree, node)
{
}

bool RemoveNodeCommand::storeRedo(model::FlowStore &store, QString *error)
{
    std::optional<model::ColumnValues> taken;
    if (!m_nodes.readRows(store, error) || !store.takeRow(m_key, &taken, error))
        return false;
    m_nodes.setTaken(taken);
    return true;
}

bool RemoveNodeCommand::storeUndo(model::FlowStore &store, QString *error)
{
    return m_nodes.putBackRows(store, error);
}

void RemoveNodeCommand::redo()
{
    m_tree.remove(m_tree.findKey(m_key));
}

void RemoveNodeCommand::undo()
{
    m_nodes.putBackNodes(m_tree);
}

} // namespace history
