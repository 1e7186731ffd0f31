#pragma once

#include "flowcommand.h"

#include "model/flowrecord.h"

#include <QVariant>

namespace model {
struct FlowNode;
}

namespace history {

// A drop: the node becomes the last child of the target with its subtree, and its row
// follows it (its parent column changes). Taking it back returns the node to its place
// among its former siblings, its row with it.
class MoveNodeCommand final : public FlowCommand
{
public:
    MoveNodeCommand(model::FlowTree &tree, const model::CurrentFlow &flow,
                    const model::FlowNode *node, const model::FlowNode *target);

    void redo() override;
    void undo() override;

protected:
    bool storeRedo(model::FlowStore &store, QString *error) override;
    bool storeUndo(model::FlowStore &store, QString *error) override;

private:
    // The node's row moves from under `fromParent` to under `toParent`: the row the last
    // step carried (refused when it is not there), else the node's first row there when
    // `takeFirst`. Another row that happens to match the node is left where it is.
    bool moveRow(model::FlowStore &store, const QString &fromParent, const QString &toParent,
                 bool takeFirst, QString *error);

    model::NodeIdentity m_node; // with its parent before the move
    QString m_targetKey;
    bool m_topLevel;
    int m_row;               // its place among its former siblings
    QVariant m_carried;       // the ID of the row the last step carried along
    bool m_targetHadRow = false; // a row matched the node under its new parent before
};

} // namespace history
