#include "flowpictures.h"

#include <QHash>
#include <QPainter>
#include <QPainterPath>
#include <QtMath>

namespace editor::flowpictures {

namespace {

// Every palette picture is drawn on a 32 x 32 grid and scaled by the painter.
constexpr qreal kGrid = 32.0;

const QColor kInk(0x26, 0x32, 0x38);
const QColor kBlue(0x1e, 0x6f, 0xc8);
const QColor kGreen(0x2e, 0x9d, 0x45);
const QColor kRed(0xd3, 0x2f, 0x2f);
const QColor kGold(0xd8, 0xa1, 0x1c);
const QColor kPurple(0x7b, 0x3f, 0xa8);
const QColor kTeal(0x13, 0x8d, 0x90);

QPen pen(const QColor &colour, qreal width)
{
    return QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

void handset(QPainter &p, const QColor &colour)
{
    // Ear and mouth pieces joined by a curved grip.
    QPainterPath grip;
    grip.moveTo(8, 9);
    grip.cubicTo(4, 16, 10, 25, 23, 24);
    p.setPen(pen(colour, 5));
    p.setBrush(Qt::NoBrush);
    p.drawPath(grip);
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawRoundedRect(QRectF(4, 4, 9, 8), 2, 2);
    p.drawRoundedRect(QRectF(20, 20, 8, 9), 2, 2);
}

void speaker(QPainter &p, const QColor &colour, qreal x)
{
    QPainterPath cone;
    cone.moveTo(x, 12);
    cone.lineTo(x + 5, 12);
    cone.lineTo(x + 11, 6);
    cone.lineTo(x + 11, 26);
    cone.lineTo(x + 5, 20);
    cone.lineTo(x, 20);
    cone.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawPath(cone);
}

void waves(QPainter &p, const QColor &colour, qreal x, int count)
{
    p.setPen(pen(colour, 2));
    p.setBrush(Qt::NoBrush);
    for (int i = 0; i < count; ++i) {
        const qreal r = 4 + 4 * i;
        p.drawArc(QRectF(x - r, 16 - r, 2 * r, 2 * r), -45 * 16, 90 * 16);
    }
}

void person(QPainter &p, const QColor &colour, qreal x, qreal scale)
{
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawEllipse(QPointF(x, 10 * scale + (1 - scale) * 16), 5 * scale, 5 * scale);
    QPainterPath body;
    const qreal top = 17 * scale + (1 - scale) * 16;
    body.moveTo(x - 9 * scale, 28);
    body.cubicTo(x - 9 * scale, top, x + 9 * scale, top, x + 9 * scale, 28);
    body.closeSubpath();
    p.drawPath(body);
}

void keypad(QPainter &p, const QColor &colour, const QRectF &area)
{
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    const qreal stepX = area.width() / 3;
    const qreal stepY = area.height() / 3;
    const qreal r = qMin(stepX, stepY) * 0.32;
    for (int row = 0; row < 3; ++row) {
        for (int col = 0; col < 3; ++col)
            p.drawEllipse(QPointF(area.left() + stepX * (col + 0.5),
                                  area.top() + stepY * (row + 0.5)), r, r);
    }
}

void drawPalette(QPainter &p, int index)
{
    switch (index) {
    case 0: // answer call
        handset(p, kGreen);
        p.setPen(pen(kGreen, 2));
        p.drawLine(QPointF(20, 4), QPointF(27, 4));
        p.drawLine(QPointF(27, 4), QPointF(27, 11));
        break;
    case 1: // play main greetings
        speaker(p, kBlue, 3);
        waves(p, kBlue, 15, 3);
        break;
    case 2: // get user id digits
        person(p, kBlue, 11, 1.0);
        keypad(p, kInk, QRectF(19, 14, 12, 12));
        break;
    case 3: { // get password digits
        p.setPen(pen(kInk, 3));
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(9, 3, 14, 16), 0, 180 * 16);
        p.drawLine(QPointF(9, 11), QPointF(9, 15));
        p.drawLine(QPointF(23, 11), QPointF(23, 15));
        p.setPen(Qt::NoPen);
        p.setBrush(kGold);
        p.drawRoundedRect(QRectF(5, 14, 22, 15), 3, 3);
        p.setBrush(kInk);
        p.drawEllipse(QPointF(16, 20), 2.5, 2.5);
        p.drawRect(QRectF(15, 21, 2, 5));
        break;
    }
    case 4: // play personal greetings
        person(p, kPurple, 10, 0.9);
        waves(p, kPurple, 19, 2);
        break;
    case 5: // get option digits
        p.setPen(pen(kInk, 2));
        p.setBrush(QColor(0xec, 0xef, 0xf1));
        p.drawRoundedRect(QRectF(4, 3, 24, 26), 4, 4);
        keypad(p, kTeal, QRectF(6, 6, 20, 20));
        break;
    case 6: { // process recorded messages: a cog
        p.setPen(Qt::NoPen);
        p.setBrush(kInk);
        p.save();
        p.translate(16, 16);
        for (int i = 0; i < 8; ++i) {
            p.drawRect(QRectF(-2.5, -14, 5, 6));
            p.rotate(45);
        }
        p.drawEllipse(QPointF(0, 0), 10, 10);
        p.setBrush(Qt::white);
        p.drawEllipse(QPointF(0, 0), 4, 4);
        p.restore();
        break;
    }
    case 7: // record message
        p.setPen(pen(kInk, 2));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QPointF(16, 16), 13, 13);
        p.setPen(Qt::NoPen);
        p.setBrush(kRed);
        p.drawEllipse(QPointF(16, 16), 8, 8);
        break;
    case 8: // play message options: a menu
        for (int i = 0; i < 3; ++i) {
            const qreal y = 8 + 8 * i;
            p.setPen(Qt::NoPen);
            p.setBrush(kTeal);
            p.drawEllipse(QPointF(6, y), 2.5, 2.5);
            p.setPen(pen(kInk, 3));
            p.drawLine(QPointF(12, y), QPointF(28, y));
        }
        break;
    case 9: // delete recorded message: a bin
        p.setPen(pen(kRed, 2.5));
        p.setBrush(Qt::NoBrush);
        p.drawLine(QPointF(5, 8), QPointF(27, 8));
        p.drawLine(QPointF(12, 8), QPointF(13, 4));
        p.drawLine(QPointF(13, 4), QPointF(19, 4));
        p.drawLine(QPointF(19, 4), QPointF(20, 8));
        p.drawLine(QPointF(8, 8), QPointF(10, 28));
        p.drawLine(QPointF(10, 28), QPointF(22, 28));
        p.drawLine(QPointF(22, 28), QPointF(24, 8));
        p.drawLine(QPointF(13, 13), QPointF(13, 23));
        p.drawLine(QPointF(19, 13), QPointF(19, 23));
        break;
    case 10: // save recorded message: a disk
        p.setPen(Qt::NoPen);
        p.setBrush(kBlue);
        p.drawRoundedRect(QRectF(4, 4, 24, 24), 3, 3);
        p.setBrush(Qt::white);
        p.drawRect(QRectF(9, 4, 13, 8));
        p.drawRoundedRect(QRectF(8, 17, 16, 11), 1, 1);
        p.setBrush(kBlue);
        p.drawRect(QRectF(17, 5, 3, 6));
        break;
    case 11: { // re-record messages: a turning arrow round a record dot
        p.setPen(pen(kInk, 3));
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(4, 4, 24, 24), 60 * 16, 280 * 16);
        QPainterPath head;
        head.moveTo(22, 1);
        head.lineTo(24, 10);
        head.lineTo(15, 8);
        head.closeSubpath();
        p.setPen(Qt::NoPen);
        p.setBrush(kInk);
        p.drawPath(head);
        p.setBrush(kRed);
        p.drawEllipse(QPointF(16, 16), 5, 5);
        break;
    }
    case 12: // hear recorded message: headphones
        p.setPen(pen(kPurple, 3));
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(5, 4, 22, 22), 0, 180 * 16);
        p.setPen(Qt::NoPen);
        p.setBrush(kPurple);
        p.drawRoundedRect(QRectF(3, 15, 7, 13), 2, 2);
        p.drawRoundedRect(QRectF(22, 15, 7, 13), 2, 2);
        break;
    case 13: // hangup
        p.save();
        p.translate(16, 16);
        p.rotate(135);
        p.translate(-16, -16);
        handset(p, kRed);
        p.restore();
        p.setPen(pen(kRed, 2.5));
        p.drawLine(QPointF(22, 4), QPointF(29, 11));
        p.drawLine(QPointF(29, 4), QPointF(22, 11));
        break;
    default:
        break;
    }
}

} // namespace

void paintPalettePicture(QPainter &painter, int index, const QRectF &target)
{
    painter.save();
    painter.translate(target.topLeft());
    painter.scale(target.width() / kGrid, target.height() / kGrid);
    drawPalette(painter, index);
    painter.restore();
}

QPixmap palettePixmap(int index, int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    paintPalettePicture(p, index, QRectF(0, 0, size, size));
    p.end();
    return pixmap;
}

QIcon paletteIcon(int index)
{
    QIcon icon;
    for (int size : {16, 24, 32, 48}) {
        const QPixmap pixmap = palettePixmap(index, size);
        icon.addPixmap(pixmap, QIcon::Normal);
        icon.addPixmap(pixmap, QIcon::Disabled);
        icon.addPixmap(pixmap, QIcon::Active);
        icon.addPixmap(pixmap, QIcon::Selected);
    }
    return icon;
}

QPixmap nodePicture(int imageIndex)
{
    static QHash<int, QPixmap> cache;
    const int which = imageIndex == 2 ? 2 : 1;
    auto it = cache.constFind(which);
    if (it != cache.constEnd())
        return *it;
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    if (which == 1) {
        // A call step: a blue tile with a white handset dot.
        p.setBrush(kBlue);
        p.drawRoundedRect(QRectF(1, 1, 14, 14), 3, 3);
        p.setBrush(Qt::white);
        p.drawEllipse(QPointF(8, 8), 3, 3);
    } else {
        // The selected step: an amber tile with a tick.
        p.setBrush(QColor(0xf5, 0x9e, 0x0b));
        p.drawRoundedRect(QRectF(1, 1, 14, 14), 3, 3);
        p.setPen(pen(Qt::white, 2));
        p.drawLine(QPointF(4.5, 8.5), QPointF(7, 11));
        p.drawLine(QPointF(7, 11), QPointF(11.5, 5));
    }
    p.end();
    cache.insert(which, pixmap);
    return pixmap;
}

QIcon nodeIcon(int image, int selectedImage)
{
    QIcon icon;
    icon.addPixmap(nodePicture(image), QIcon::Normal);
    icon.addPixmap(nodePicture(image), QIcon::Active);
    icon.addPixmap(nodePicture(selectedImage), QIcon::Selected);
    return icon;
}

} // namespace editor::flowpictures
