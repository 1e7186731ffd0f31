#pragma once

#include "model/currentflow.h"

#include <QUndoCommand>

namespace model {
class FlowStore;
class FlowTree;
} // namespace model

namespace history {

// One change the user made to a flow, able to take itself back. A change has two parts:
// its writes to the flow table (storeRedo, storeUndo), run first and all or nothing, which
// may be refused when the table no longer holds what the change left there; and its change
// of the tree (QUndoCommand's redo and undo), run only once the writes are done, which
// cannot fail. FlowHistory runs the parts in that order; QUndoStack's own undo() and redo()
// would run the tree part alone.
//
// A command names nodes by key, never by pointer: an undone removal brings back new nodes.
class FlowCommand : public QUndoCommand
{
public:
    FlowCommand(model::FlowTree &tree, const model::CurrentFlow &flow, const QString &text);

    // The writes of the change, or of taking it back, in one transaction; nothing is
    // written without a current flow (a tree that is in no table yet).
    bool writeRedo(QString *error);
    bool writeUndo(QString *error);

protected:
    // False when doing the change writes nothing and may go without the table (a palette
    // addition, Clear Flow): a table that cannot be opened then only costs its undo the
    // rows it would have put back.
    virtual bool needsStoreToRedo() const { return true; }
    virtual bool storeRedo(model::FlowStore &store, QString *error);
    virtual bool storeUndo(model::FlowStore &store, QString *error);
    // "the row of "hangup" in table nodesflow": for the reasons a step is refused.
    QString rowLabel(const QString &nodeText) const;

    model::FlowTree &m_tree;
    const model::CurrentFlow m_flow; // where the change wrote its rows

private:
    bool write(bool redo, QString *error);
};

} // namespace history
