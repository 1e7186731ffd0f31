#pragma once

#include <QPersistentModelIndex>
#include <QTreeView>

namespace editor {

// The flow tree view (TreeView1). A drag carries the pressed node; while it runs the node
// under the pointer is highlighted as the drop target, and the drop hands that node to
// the model's dropMimeData(), which applies the editor's rules. The view's own checks are
// bypassed on purpose: a drop on the node's own descendant must reach the rules, which
// explain why it is refused instead of silently showing a forbidden cursor.
class FlowTreeView final : public QTreeView
{
    Q_OBJECT

public:
    explicit FlowTreeView(QWidget *parent = nullptr);

    // The node highlighted as the drop target, invalid when none.
    QModelIndex dropHighlight() const { return m_dropHighlight; }

signals:
    void dragStarted(const QModelIndex &index);

protected:
    void startDrag(Qt::DropActions supportedActions) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dragLeaveEvent(QDragLeaveEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    void drawRow(QPainter *painter, const QStyleOptionViewItem &option,
                 const QModelIndex &index) const override;

private:
    bool accepts(const QMimeData *data) const;
    void setDropHighlight(const QModelIndex &index);
    QPixmap dragImage(const QModelIndex &index) const;

    QPersistentModelIndex m_dropHighlight;
};

} // namespace editor
