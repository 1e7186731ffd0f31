#pragma once

#include "flowgraph/flowgraph.h"

#include <QGraphicsItem>
#include <QPainterPath>

namespace diagram {

// One arrow as laid out: solid down the tree, dashed back up it, with its label.
class ArrowItem final : public QGraphicsItem
{
public:
    explicit ArrowItem(const flowgraph::Arrow &arrow);

    QRectF boundingRect() const override;
    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option,
               QWidget *widget) override;

private:
    QPainterPath m_path;
    QPolygonF m_head;
    QString m_label;
    QRectF m_labelRect;
    bool m_back;
    QRectF m_bounds;
};

} // namespace diagram
