#pragma once

#include "model/nodevalues.h"

#include <QString>

namespace model {
struct FlowNode;
}

namespace call {

// Where a call reads a node's property values: the flow table in the program
// (StoreValues), a table of values in tests.
class NodeValuesSource
{
public:
    virtual ~NodeValuesSource() = default;
    // The node's values with the defaults for Null columns and for a node without a row.
    // When the values cannot be read, *error says why and the no-row defaults are returned.
    virtual model::NodeValues valuesOf(const model::FlowNode &node, QString *error) = 0;
};

} // namespace call
