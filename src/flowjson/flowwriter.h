#pragma once

#include "flowcontent.h"

#include <QByteArray>

namespace flowjson {

// The flow file of a tree and its nodes' properties, laid out as flowformat.h shows.
// It writes what it is given: check the flow with rules::flowProblems() first.
QByteArray writeFlow(const model::FlowTree &tree, const PropertiesByKey &properties);

} // namespace flowjson
