#pragma once

#include "nodevaluessource.h"

#include <QHash>

#include <memory>

namespace model {
class FlowStore;
}

namespace call {

// Node values read from a flow table as the call reaches the nodes, each node's row once: a
// call runs on a flow that does not change (any edit ends it), and a read of the database
// file costs far more than a step of the call.
class StoreValues final : public NodeValuesSource
{
public:
    StoreValues(const QString &databasePath, const QString &table);
    ~StoreValues() override;

    // False with the reason when the flow database cannot be opened.
    bool isOpen(QString *error = nullptr) const;
    model::NodeValues valuesOf(const model::FlowNode &node, QString *error) override;

private:
    std::unique_ptr<model::FlowStore> m_store;
    QHash<const model::FlowNode *, model::NodeValues> m_read;
};

} // namespace call
