#pragma once

#include "flowcommand.h"
#include "removednodes.h"

namespace model {
struct FlowNode;
}

namespace history {

// Remove: the node leaves the tree with its subtree, and its row (deleterec: the first row
// with its key) leaves the table. Taking it back brings the subtree back where it was,
// with the rows its nodes had, whether the table still holds them or a save dropped them.
class RemoveNodeCommand final : public FlowCommand
{
public:
    RemoveNodeCommand(model::FlowTree &tree, const model::CurrentFlow &flow,
                      const model::FlowNode *node);

    void redo() override;
    void undo() override;

protected:
    bool storeRedo(model::FlowStore &store, QString *error) override;
    bool storeUndo(model::FlowStore &store, QString *error) override;

private:
    QString m_key;
    RemovedNodes m_nodes;
};

} // namespace history
