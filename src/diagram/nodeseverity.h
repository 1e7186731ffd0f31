#pragma once

#include <QString>

namespace diagram {

// How serious a problem the flow checker found at a node.
enum class Severity { None, Note, Warning, Error };

// One node's mark from the checker, by node key.
struct NodeSeverity
{
    QString key;
    Severity severity = Severity::None;
};

} // namespace diagram
