#pragma once

#include "nodevaluessource.h"

#include <memory>

namespace model {
class FlowStore;
}

namespace call {

// Node values read from a flow table, row by row as the call reaches the nodes, so that a
// call always hears the properties as they are stored.
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
};

} // namespace call
