#pragma once

#include "model/flowrecord.h"
#include "model/flowtree.h"

#include <QHash>
#include <QString>

namespace flowjson {

// The property columns of each node that are not Null, by node key.
using PropertiesByKey = QHash<QString, model::ColumnValues>;

// A whole flow as a file carries it: the tree (keys, texts, image indices, sibling order)
// and each node's properties.
struct FlowContent
{
    model::FlowTree tree;
    PropertiesByKey properties;
};

} // namespace flowjson
