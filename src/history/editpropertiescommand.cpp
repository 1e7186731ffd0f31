#include "editpropertiescommand.h"

#include "model/flowstore.h"

namespace history {

namespace {
QString editText(const model::NodeIdentity &node, const model::ColumnValues &values)
{
    return QStringLiteral("Change %1 of %2").arg(values.keys().join(QLatin1String(", ")),
                                                  node.text);
}
} // namespace

EditPropertiesCommand::EditPropertiesCommand(model::FlowTree &tree,
                                             const model::CurrentFlow &flow,
                                             const model::NodeIdentity &node,
                                             const model::ColumnValues &values)
    : FlowCommand(tree, flow, editText(node, values))
    , m_node(node)
    , m_typed(values)
{
}

bool EditPropertiesCommand::read(model::FlowStore &store, model::ColumnValues *values,
                                 QString *error) const
{
    QString why;
    const std::optional<model::ColumnValues> row = store.fetchRow(m_node, &why);
    if (!row)
        return model::fail(error, why.isEmpty() ? rowLabel(m_node.text)
                                                      + QStringLiteral(" is no longer there.")
                                                : why);
    values->clear();
    for (auto it = m_typed.begin(); it != m_typed.end(); ++it)
        values->insert(it.key(), row->value(it.key()));
    return true;
}

bool EditPropertiesCommand::replace(model::FlowStore &store, const model::ColumnValues &from,
                                    const model::ColumnValues &to, QString *error)
{
    model::ColumnValues now;
    if (!read(store, &now, error))
        return false;
    if (now != from)
        return model::fail(error, QStringLiteral("%1 has been changed elsewhere since.")
                                      .arg(rowLabel(m_node.text)));
    return store.updateRow(m_node, to, error);
}

bool EditPropertiesCommand::storeRedo(model::FlowStore &store, QString *error)
{
    if (!m_after.isEmpty())
        return replace(store, m_before, m_after, error);
    // The first time: the values are written as typed, and kept as the table stores them.
    return read(store, &m_before, error) && store.updateRow(m_node, m_typed, error)
           && read(store, &m_after, error);
}

bool EditPropertiesCommand::storeUndo(model::FlowStore &store, QString *error)
{
    return replace(store, m_after, m_before, error);
}

} // namespace history
