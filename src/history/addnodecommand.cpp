#include "addnodecommand.h"

#include "model/flowstore.h"
#include "model/flowtree.h"

namespace history {

AddNodeCommand::AddNodeCommand(model::FlowTree &tree, const model::CurrentFlow &flow,
                               const model::FlowNode *parent, const QString &text,
                               const QString &key)
    : FlowCommand(tree, flow, QStringLiteral("Add %1").arg(text))
    , m_node{parent ? parent->key : QStringLiteral("0_"), key.isEmpty() ? tree.nextKey() : key,
             text, 1, 2}
    , m_topLevel(!parent)
{
}

bool AddNodeCommand::storeRedo(model::FlowStore &store, QString *error)
{
    if (!m_rowBefore) {
        // A table that cannot be read takes nothing from the addition: its undo then
        // leaves the rows alone.
        QString why;
        m_rowBefore = store.fetchRow(m_node, &why).has_value() || !why.isEmpty();
    }
    if (m_taken && !store.putBackRow(*m_taken, error))
        return false;
    m_taken.reset();
    return true;
}

bool AddNodeCommand::storeUndo(model::FlowStore &store, QString *error)
{
    if (m_rowBefore.value_or(true))
        return true;
    std::optional<model::ColumnValues> taken;
    if (!store.takeRow(m_node, &taken, error))
        return false;
    m_taken = taken;
    return true;
}

void AddNodeCommand::redo()
{
    model::FlowNode *parent = m_topLevel ? nullptr : m_tree.findKey(m_node.parentKey);
    const int row = int(parent ? parent->children.size() : m_tree.topLevel().size());
    m_tree.insertAt(parent, row, m_tree.count() + 1, m_node.key, m_node.text, m_node.image,
                    m_node.selectedImage);
}

void AddNodeCommand::undo()
{
    m_tree.remove(m_tree.findKey(m_node.key));
}

} // namespace history
