#include "flowcommand.h"

#include "model/flowstore.h"

namespace history {

FlowCommand::FlowCommand(model::FlowTree &tree, const model::CurrentFlow &flow,
                         const QString &text)
    : QUndoCommand(text)
    , m_tree(tree)
    , m_flow(flow)
{
}

bool FlowCommand::writeRedo(QString *error)
{
    return write(true, error);
}

bool FlowCommand::writeUndo(QString *error)
{
    return write(false, error);
}

bool FlowCommand::write(bool redo, QString *error)
{
    if (!m_flow.isSet())
        return true;
    model::FlowStore store(m_flow.databasePath, m_flow.table);
    if (!store.isOpen() && redo && !needsStoreToRedo())
        return true;
    return store.runInTransaction(error, [&] {
        return redo ? storeRedo(store, error) : storeUndo(store, error);
    });
}

bool FlowCommand::storeRedo(model::FlowStore &, QString *)
{
    return true;
}

bool FlowCommand::storeUndo(model::FlowStore &, QString *)
{
    return true;
}

QString FlowCommand::rowLabel(const QString &nodeText) const
{
    return QStringLiteral("the row of \"%1\" in table %2").arg(nodeText, m_flow.table);
}

} // namespace history
