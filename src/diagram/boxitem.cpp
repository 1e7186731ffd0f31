#include "boxitem.h"

#include "diagramstyle.h"

#include "editor/flowpictures.h"

#include <QCursor>
#include <QFontMetricsF>
#include <QPainter>

namespace diagram {

namespace {

constexpr qreal kWidth = 224;
constexpr qreal kHeight = 76;
constexpr qreal kMargin = 6;
constexpr qreal kPicture = 28;
constexpr qreal kTextLeft = kMargin + kPicture + 6;
constexpr qreal kLine = 16;
constexpr qreal kBand = 17;
constexpr qreal kBadge = 14;

QColor severityColour(Severity severity)
{
    switch (severity) {
    case Severity::Error:
        return style::red;
    case Severity::Warning:
        return style::amber;
    case Severity::Note:
        return style::blue;
    case Severity::None:
        break;
    }
    return {};
}

void drawLine(QPainter *painter, const QRectF &rect, const QFont &font, const QString &text)
{
    painter->setFont(font);
    const QString shown =
        QFontMetricsF(font).elidedText(text, Qt::ElideRight, rect.width());
    painter->drawText(rect, Qt::AlignLeft | Qt::AlignVCenter, shown);
}

} // namespace

QSizeF BoxItem::size()
{
    return {kWidth, kHeight};
}

BoxItem::BoxItem(const flowgraph::Box &box)
    : m_box(box)
{
    setPos(box.rect().topLeft());
    QStringList tip{box.key + u' ' + box.text};
    if (!box.spoken.isEmpty())
        tip << QStringLiteral("Spoken: %1").arg(box.spoken);
    if (!box.voiceFile.isEmpty())
        tip << QStringLiteral("Voice file: %1").arg(box.voiceFile);
    if (!box.endMark.isEmpty())
        tip << QStringLiteral("The call goes no further: %1").arg(box.endMark);
    if (!box.reachable)
        tip << QStringLiteral("No call reaches this node.");
    setToolTip(tip.join(u'\n'));
    setCursor(Qt::PointingHandCursor);
}

void BoxItem::setSelectedHighlight(bool on)
{
    if (m_selected != on) {
        m_selected = on;
        update();
    }
}

void BoxItem::setCallHighlight(bool on)
{
    if (m_call != on) {
        m_call = on;
        update();
    }
}

void BoxItem::setSeverity(Severity severity)
{
    if (m_severity != severity) {
        m_severity = severity;
        update();
    }
}

QRectF BoxItem::boundingRect() const
{
    return QRectF(QPointF(0, 0), size()).adjusted(-3, -3, 3, 3);
}

void BoxItem::paint(QPainter *painter, const QStyleOptionGraphicsItem *, QWidget *)
{
    const QRectF frame(QPointF(0, 0), size());
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setOpacity(m_box.reachable ? 1.0 : 0.5);

    QPen border(m_selected ? style::blue : (m_call ? style::amber : style::ink),
                m_selected || m_call ? 3 : 1.2);
    if (!m_box.reachable)
        border.setStyle(Qt::DashLine);
    painter->setPen(border);
    painter->setBrush(m_call ? QColor(0xff, 0xf3, 0xc4) : QColor(Qt::white));
    painter->drawRoundedRect(frame, 6, 6);

    if (m_box.picture >= 0)
        editor::flowpictures::paintPalettePicture(
            *painter, m_box.picture, QRectF(kMargin, kMargin, kPicture, kPicture));

    const qreal width = kWidth - kTextLeft - kMargin;
    painter->setPen(style::ink);
    // The title leaves room for the checker's badge.
    drawLine(painter, QRectF(kTextLeft, kMargin - 2, width - kBadge, kLine),
             style::font(12, true), m_box.key + u' ' + m_box.text);
    if (!m_box.spoken.isEmpty())
        drawLine(painter, QRectF(kTextLeft, kMargin - 2 + kLine, width, kLine),
                 style::font(11, false, true), u'\u201c' + m_box.spoken + u'\u201d');
    if (!m_box.voiceFile.isEmpty())
        drawLine(painter, QRectF(kTextLeft, kMargin - 2 + 2 * kLine, width, kLine),
                 style::font(11), u'\u266a' + QStringLiteral(" ") + m_box.voiceFile);
    if (m_box.spoken.isEmpty() && m_box.voiceFile.isEmpty()) {
        painter->setPen(style::faint);
        drawLine(painter, QRectF(kTextLeft, kMargin - 2 + kLine, width, kLine),
                 style::font(11, false, true), QStringLiteral("nothing is heard"));
    }

    if (!m_box.endMark.isEmpty()) {
        const QRectF band(frame.left(), frame.bottom() - kBand, frame.width(), kBand);
        painter->setPen(Qt::NoPen);
        painter->setBrush(m_box.callEnds ? style::red : style::faint);
        painter->drawRoundedRect(band, 6, 6);
        painter->drawRect(band.adjusted(0, 0, 0, -kBand / 2));
        painter->setPen(Qt::white);
        painter->setFont(style::font(11, true));
        painter->drawText(band, Qt::AlignCenter, m_box.endMark);
    }

    if (m_severity != Severity::None) {
        const QColor colour = severityColour(m_severity);
        painter->setPen(Qt::NoPen);
        painter->setBrush(colour);
        painter->drawRect(QRectF(frame.left(), frame.top() + 6, 5, frame.height() - 12));
        const QRectF badge(frame.right() - kBadge - 4, frame.top() + 4, kBadge, kBadge);
        // A warning's badge is a triangle, an error's a disc: told apart without colour too.
        if (m_severity == Severity::Warning) {
            const QPointF corners[] = {{badge.center().x(), badge.top() - 1},
                                       {badge.right() + 1, badge.bottom()},
                                       {badge.left() - 1, badge.bottom()}};
            painter->drawPolygon(corners, 3);
        } else {
            painter->drawEllipse(badge);
        }
        painter->setPen(Qt::white);
        painter->setFont(style::font(11, true));
        painter->drawText(badge, Qt::AlignCenter,
                          m_severity == Severity::Note ? QStringLiteral("i")
                                                       : QStringLiteral("!"));
    }
}

} // namespace diagram
