#pragma once

#include "checktarget.h"
#include "problem.h"

#include <QList>

namespace checker {

struct FlowFacts;

// The problems of a flow for a target: problems of the flow as a whole first, then node by
// node in tree order (depth first), then the rows the load left out; at one node in the
// order of the rule table.
QList<Problem> checkFlow(const FlowFacts &facts, const CheckTarget &target);

} // namespace checker
