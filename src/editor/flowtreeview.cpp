#include "flowtreeview.h"

#include <QDrag>
#include <QDragEnterEvent>
#include <QMimeData>
#include <QPainter>

namespace editor {

FlowTreeView::FlowTreeView(QWidget *parent)
    : QTreeView(parent)
{
    setObjectName(QStringLiteral("TreeView1"));
    setAccessibleName(QStringLiteral("Call flow"));
    setHeaderHidden(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setDragEnabled(true);
    setAcceptDrops(true);
    setDropIndicatorShown(false);
    setDragDropMode(QAbstractItemView::DragDrop);
    setDefaultDropAction(Qt::MoveAction);
    setUniformRowHeights(true);
}

bool FlowTreeView::accepts(const QMimeData *data) const
{
    if (!data || !model())
        return false;
    const QStringList types = model()->mimeTypes();
    for (const QString &type : types) {
        if (data->hasFormat(type))
            return true;
    }
    return false;
}

void FlowTreeView::setDropHighlight(const QModelIndex &index)
{
    if (QModelIndex(m_dropHighlight) == index)
        return;
    m_dropHighlight = index;
    viewport()->update();
}

QPixmap FlowTreeView::dragImage(const QModelIndex &index) const
{
    const QString text = index.data(Qt::DisplayRole).toString();
    const QIcon icon = index.data(Qt::DecorationRole).value<QIcon>();
    const QFontMetrics metrics(font());
    const int height = qMax(metrics.height(), 16) + 4;
    QPixmap pixmap(metrics.horizontalAdvance(text) + 26, height);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setOpacity(0.8);
    icon.paint(&p, QRect(2, (height - 16) / 2, 16, 16));
    p.setFont(font());
    p.setPen(palette().color(QPalette::Text));
    p.drawText(QRect(22, 0, pixmap.width() - 22, height), Qt::AlignVCenter, text);
    p.end();
    return pixmap;
}

void FlowTreeView::startDrag(Qt::DropActions)
{
    const QModelIndex index = currentIndex();
    if (!index.isValid() || !model())
        return;
    QMimeData *data = model()->mimeData({index});
    if (!data)
        return;
    emit dragStarted(index);
    auto *drag = new QDrag(this);
    drag->setMimeData(data);
    drag->setPixmap(dragImage(index));
    // The drop performs the move itself; nothing is removed here afterwards.
    drag->exec(Qt::MoveAction, Qt::MoveAction);
    setDropHighlight({});
}

void FlowTreeView::dragEnterEvent(QDragEnterEvent *event)
{
    // Entering is the first move over the view: the same acceptance and highlight.
    dragMoveEvent(event);
}

void FlowTreeView::dragMoveEvent(QDragMoveEvent *event)
{
    if (!accepts(event->mimeData())) {
        event->ignore();
        return;
    }
    setDropHighlight(indexAt(event->position().toPoint()));
    event->setDropAction(Qt::MoveAction);
    event->accept();
}

void FlowTreeView::dragLeaveEvent(QDragLeaveEvent *event)
{
    setDropHighlight({});
    event->accept();
}

void FlowTreeView::dropEvent(QDropEvent *event)
{
    if (!accepts(event->mimeData())) {
        event->ignore();
        return;
    }
    // An invalid target (no node under the pointer) still reaches the rules, which end
    // the drag without changing anything.
    const QModelIndex target = indexAt(event->position().toPoint());
    setDropHighlight(target);
    const bool moved = model()->dropMimeData(event->mimeData(), Qt::MoveAction, -1, -1, target);
    setDropHighlight({});
    event->setDropAction(Qt::MoveAction);
    if (moved)
        event->accept();
    else
        event->ignore();
}

void FlowTreeView::drawRow(QPainter *painter, const QStyleOptionViewItem &option,
                           const QModelIndex &index) const
{
    if (m_dropHighlight.isValid() && QModelIndex(m_dropHighlight) == index) {
        QColor colour = palette().color(QPalette::Highlight);
        colour.setAlpha(90);
        painter->fillRect(option.rect, colour);
    }
    QTreeView::drawRow(painter, option, index);
}

} // namespace editor
