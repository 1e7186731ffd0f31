#pragma once

#include "flowcommand.h"

#include "model/flowrecord.h"

#include <optional>

namespace model {
struct FlowNode;
}

namespace history {

// A palette click: a node with the next free key (or `key`) as the last child of `parent`
// (nullptr: at the end of the top level). The node gets its row only when it is first
// selected; taking the addition back deletes that row too, unless it was there before.
class AddNodeCommand final : public FlowCommand
{
public:
    AddNodeCommand(model::FlowTree &tree, const model::CurrentFlow &flow,
                   const model::FlowNode *parent, const QString &text,
                   const QString &key = QString());

    QString key() const { return m_node.key; }

    void redo() override;
    void undo() override;

    // Public for a command that adds a node as one of its steps.
    bool needsStoreToRedo() const override { return m_taken.has_value(); }
    bool storeRedo(model::FlowStore &store, QString *error) override;
    bool storeUndo(model::FlowStore &store, QString *error) override;

private:
    model::NodeIdentity m_node;
    bool m_topLevel;
    std::optional<bool> m_rowBefore;             // a row of the same node was there already
    std::optional<model::ColumnValues> m_taken;  // the row an undo deleted
};

} // namespace history
