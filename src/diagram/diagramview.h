#pragma once

#include <QGraphicsView>

namespace diagram {

// The view of the diagram: dragging the background scrolls, Ctrl and the wheel zoom about
// the pointer.
class DiagramView final : public QGraphicsView
{
    Q_OBJECT

public:
    explicit DiagramView(QGraphicsScene *scene, QWidget *parent = nullptr);

    qreal zoom() const { return transform().m11(); }
    // Zooms by `factor`, kept between 2% and 400%.
    void zoomBy(qreal factor);
    // Shows the whole of `area`, at most at twice the natural size.
    void fit(const QRectF &area);

protected:
    void wheelEvent(QWheelEvent *event) override;
};

} // namespace diagram
