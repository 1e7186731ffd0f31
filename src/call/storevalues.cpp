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
    const auto known = m_read.constFind(&node);
    if (known != m_read.cend())
        return *known;
    QString readError;
    const auto row = m_store->fetchRow(model::NodeIdentity::of(node), &readError);
    const model::NodeValues values = model::NodeValues::fromRow(row, node.text);
    if (!row && !readError.isEmpty()) {
        if (error)
            *error = readError;
        return values; // read again next time: the failure may pass
    }
    m_read.insert(&node, values);
    return values;
}

} // namespace call
