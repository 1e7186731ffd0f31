#pragma once

#include "model/flowtree.h"

#include <QAbstractItemModel>

#include <functional>

namespace editor {

// The item model of the tree view: an adapter over model::FlowTree, which stays the one
// truth. Every change of the tree reaches the view through the observer calls, so the
// editor, the loader and anything else may change the tree directly.
//
// Drag-and-drop is a model operation: mimeData() carries the dragged node's key and
// dropMimeData() on a node hands (node, target) to the drop handler, which decides and
// performs the move (the editor's drop rules); without a handler the tree's own
// setParent() is used.
class FlowTreeModel final : public QAbstractItemModel, public model::FlowTreeObserver
{
    Q_OBJECT

public:
    enum Role {
        KeyRole = Qt::UserRole + 1,
        ParentKeyRole,
        ImageRole,
        SelectedImageRole,
    };
    using DropHandler = std::function<bool(model::FlowNode *node, model::FlowNode *target)>;

    explicit FlowTreeModel(model::FlowTree &tree, QObject *parent = nullptr);
    ~FlowTreeModel() override;

    static QString mimeType() { return QStringLiteral("application/x-dialwright-flow-node"); }

    // The tree shown; nullptr once it has been destroyed (the model then shows nothing).
    model::FlowTree *tree() const { return m_tree; }
    model::FlowNode *nodeAt(const QModelIndex &index) const;
    QModelIndex indexOf(const model::FlowNode *node) const;
    void setDropHandler(DropHandler handler) { m_dropHandler = std::move(handler); }

    QModelIndex index(int row, int column, const QModelIndex &parent = {}) const override;
    QModelIndex parent(const QModelIndex &child) const override;
    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

    QStringList mimeTypes() const override;
    QMimeData *mimeData(const QModelIndexList &indexes) const override;
    bool canDropMimeData(const QMimeData *data, Qt::DropAction action, int row, int column,
                         const QModelIndex &parent) const override;
    bool dropMimeData(const QMimeData *data, Qt::DropAction action, int row, int column,
                      const QModelIndex &parent) override;
    Qt::DropActions supportedDropActions() const override;
    Qt::DropActions supportedDragActions() const override;

    // The node a drag carries, if it belongs to this tree.
    model::FlowNode *draggedNode(const QMimeData *data) const;

private:
    void nodeAboutToBeInserted(model::FlowNode *parent, int row) override;
    void nodeInserted(model::FlowNode *node) override;
    void nodeAboutToBeRemoved(model::FlowNode *node) override;
    void nodeRemoved() override;
    void nodeAboutToBeMovedTo(model::FlowNode *node, model::FlowNode *newParent,
                              int row) override;
    void nodeMoved(model::FlowNode *node) override;
    void treeAboutToBeReset() override;
    void treeReset() override;
    void treeDestroyed() override;

    int rowOf(const model::FlowNode *node) const;

    enum class MoveKind { None, Move, Reset };

    model::FlowTree *m_tree;
    DropHandler m_dropHandler;
    MoveKind m_move = MoveKind::None;
};

} // namespace editor
