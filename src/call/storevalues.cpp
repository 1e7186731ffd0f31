#include "storevalues.h"

#include "model/flowstore.h"
#include "model/flowtree.h"

namespace call {

StoreValues::StoreValues(const QString &databasePath, const QString &table)
    : m_store(std::make_unique<model::FlowStore>(databasePath, table))
{
}

StoreValues::~StoreValues() = default;

bool StoreValues::isOpen(QString *error) const
{
    if (!m_store->isOpen() && error)
        *error = m_store->errorString();
    return m_store->isOpen();
}

model::NodeValues StoreValues::valuesOf(const model::FlowNode &node, QString *error)
{
    QString readError;
    const auto row = m_store->fetchRow(model::NodeIdentity::of(node), &readError);
    if (!row && !readError.isEmpty() && error)
        *error = readError;
    return model::NodeValues::fromRow(row, node.text);
}

} // namespace call
