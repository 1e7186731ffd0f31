#pragma once

#include "addnodecommand.h"
#include "flowcommand.h"
#include "removednodes.h"

namespace history {

// Clear Flow: the tree is emptied and gets a new "answer call" node, key "1_"; the table
// keeps its rows until the next save. Taking it back brings the whole tree back as it was,
// with the rows of its nodes that a save in between dropped.
class ClearFlowCommand final : public FlowCommand
{
public:
    ClearFlowCommand(model::FlowTree &tree, const model::CurrentFlow &flow);

    void redo() override;
    void undo() override;

protected:
    bool needsStoreToRedo() const override { return m_answerCall.needsStoreToRedo(); }
    bool storeRedo(model::FlowStore &store, QString *error) override;
    bool storeUndo(model::FlowStore &store, QString *error) override;

private:
    RemovedNodes m_nodes;
    AddNodeCommand m_answerCall;
};

} // namespace history
