#include "arrowitem.h"

#include "diagramstyle.h"

#include <QFontMetricsF>
#include <QLineF>
#include <QPainter>

namespace diagram {

namespace {
constexpr qreal kHeadWidth = 4.0;
constexpr qreal kLabelPadding = 2.0;
} // namespace

ArrowItem::ArrowItem(const flowgraph::Arrow &arrow)
    : m_label(arrow.label())
    , m_back(arrow.back)
{
    const std::vector<QPointF> &p = arrow.path;
    if (!p.empty()) {
        m_path.moveTo(p.front());
        for (size_t i = 1; i + 2 < p.size(); i += 3)
            m_path.cubicTo(p[i], p[i + 1], p[i + 2]);
        // The head points from the path's end to the tip.
        const QLineF shaft(p.back(), arrow.tip);
        if (shaft.length() > 0) {
            const QPointF across = shaft.normalVector().unitVector().p2() - shaft.p1();
            m_head << arrow.tip << p.back() + across * kHeadWidth
                   << p.back() - across * kHeadWidth;
        }
    }
    m_bounds = m_path.boundingRect().united(m_head.boundingRect());
    if (!m_label.isEmpty()) {
        const QSizeF text = QFontMetricsF(style::font(10)).size(Qt::TextSingleLine, m_label);
        const QSizeF padded = text + QSizeF(2 * kLabelPadding, 2 * kLabelPadding);
        m_labelRect = QRectF(arrow.labelCentre - QPointF(padded.width(), padded.height()) / 2,
                             padded);
        m_bounds = m_bounds.united(m_labelRect);
    }
    m_bounds.adjust(-2, -2, 2, 2);
    setZValue(-1);
}

QRectF ArrowItem::boundingRect() const
{
    return m_bounds;
}

void ArrowItem::paint(QPainter *painter, const QStyleOptionGraphicsItem *, QWidget *)
{
    const QColor colour = m_back ? style::faint : style::ink;
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setBrush(Qt::NoBrush);
    painter->setPen(QPen(colour, 1.2, m_back ? Qt::DashLine : Qt::SolidLine));
    painter->drawPath(m_path);
    painter->setPen(Qt::NoPen);
    painter->setBrush(colour);
    painter->drawPolygon(m_head);
    if (m_label.isEmpty())
        return;
    painter->setBrush(QColor(255, 255, 255, 220));
    painter->drawRect(m_labelRect);
    painter->setPen(colour);
    painter->setFont(style::font(10));
    painter->drawText(m_labelRect, Qt::AlignCenter, m_label);
}

} // namespace diagram
