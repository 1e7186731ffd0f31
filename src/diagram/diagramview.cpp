#include "diagramview.h"

#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace diagram {

namespace {
constexpr qreal kMinZoom = 0.02;
constexpr qreal kMaxZoom = 4.0;
constexpr qreal kMaxFitZoom = 2.0;
} // namespace

DiagramView::DiagramView(QGraphicsScene *scene, QWidget *parent)
    : QGraphicsView(scene, parent)
{
    setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
    setDragMode(QGraphicsView::ScrollHandDrag);
    setTransformationAnchor(QGraphicsView::AnchorUnderMouse);
    setResizeAnchor(QGraphicsView::AnchorViewCenter);
    setFocusPolicy(Qt::StrongFocus);
}

void DiagramView::zoomBy(qreal factor)
{
    const qreal target = std::clamp(zoom() * factor, kMinZoom, kMaxZoom);
    scale(target / zoom(), target / zoom());
}

void DiagramView::fit(const QRectF &area)
{
    if (area.isEmpty())
        return;
    fitInView(area, Qt::KeepAspectRatio);
    if (zoom() > kMaxFitZoom)
        setTransform(QTransform::fromScale(kMaxFitZoom, kMaxFitZoom));
    else if (zoom() < kMinZoom)
        setTransform(QTransform::fromScale(kMinZoom, kMinZoom));
    centerOn(area.center());
}

void DiagramView::wheelEvent(QWheelEvent *event)
{
    if (event->modifiers() & Qt::ControlModifier) {
        zoomBy(std::pow(1.15, event->angleDelta().y() / 120.0));
        event->accept();
        return;
    }
    QGraphicsView::wheelEvent(event);
}

} // namespace diagram
