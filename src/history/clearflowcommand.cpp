#include "clearflowcommand.h"

#include "model/flowtree.h"

namespace history {

ClearFlowCommand::ClearFlowCommand(model::FlowTree &tree, const model::CurrentFlow &flow)
    : FlowCommand(tree, flow, QStringLiteral("Clear Flow"))
    , m_nodes(tree, nullptr)
    , m_answerCall(tree, flow, nullptr, QStringLiteral("answer call"), QStringLiteral("1_"))
{
}

bool ClearFlowCommand::storeRedo(model::FlowStore &store, QString *error)
{
    // Clear Flow writes nothing: rows that cannot be read are only not kept for its undo.
    QString ignored;
    if (!m_nodes.readRows(store, &ignored))
        m_nodes.forgetRows();
    return m_answerCall.storeRedo(store, error);
}

bool ClearFlowCommand::storeUndo(model::FlowStore &store, QString *error)
{
    return m_answerCall.storeUndo(store, error) && m_nodes.putBackRows(store, error);
}

void ClearFlowCommand::redo()
{
    m_tree.clear();
    m_answerCall.redo();
}

void ClearFlowCommand::undo()
{
    m_tree.clear();
    m_nodes.putBackNodes(m_tree);
}

} // namespace history
