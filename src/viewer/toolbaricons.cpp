#include "toolbaricons.h"

#include <QFont>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace viewer {

namespace {

constexpr int kSize = 24;

void drawPage(QPainter &p, const QRectF &r)
{
    // A sheet with a folded corner.
    const qreal fold = r.width() / 3;
    QPainterPath path;
    path.moveTo(r.topLeft());
    path.lineTo(r.right() - fold, r.top());
    path.lineTo(r.right(), r.top() + fold);
    path.lineTo(r.bottomRight());
    path.lineTo(r.bottomLeft());
    path.closeSubpath();
    p.setBrush(Qt::white);
    p.drawPath(path);
    p.drawLine(QPointF(r.right() - fold, r.top()), QPointF(r.right() - fold, r.top() + fold));
    p.drawLine(QPointF(r.right() - fold, r.top() + fold), QPointF(r.right(), r.top() + fold));
}

void drawLetter(QPainter &p, const QString &letter, bool bold, bool italic, bool underline)
{
    QFont font(QStringLiteral("Serif"));
    font.setPixelSize(18);
    font.setBold(bold);
    font.setItalic(italic);
    font.setUnderline(underline);
    p.setFont(font);
    p.drawText(QRect(0, 0, kSize, kSize), Qt::AlignCenter, letter);
}

void drawLines(QPainter &p, Qt::Alignment alignment)
{
    const int widths[] = {18, 12, 18, 10, 16};
    for (int i = 0; i < 5; ++i) {
        const int w = widths[i];
        int x = 3;
        if (alignment & Qt::AlignHCenter)
            x = (kSize - w) / 2;
        else if (alignment & Qt::AlignRight)
            x = kSize - 3 - w;
        p.drawLine(x, 4 + i * 4, x + w, 4 + i * 4);
    }
}

void drawIcon(QPainter &p, const QString &key)
{
    const QPen outline(QColor(40, 40, 40), 1.2);
    p.setPen(outline);
    if (key == u"New") {
        drawPage(p, QRectF(5, 2.5, 14, 19));
    } else if (key == u"Open") {
        p.setBrush(QColor(240, 200, 80));
        p.drawRect(QRectF(2.5, 6.5, 17, 13));
        p.setBrush(QColor(250, 220, 120));
        const QPointF flap[] = {{5, 10.5}, {22, 10.5}, {19.5, 19.5}, {2.5, 19.5}};
        p.drawPolygon(flap, 4);
    } else if (key == u"Save") {
        p.setBrush(QColor(70, 100, 170));
        p.drawRect(QRectF(3.5, 3.5, 17, 17));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(6.5, 3.5, 11, 7));
        p.setBrush(QColor(200, 200, 200));
        p.drawRect(QRectF(7.5, 14.5, 9, 6));
    } else if (key == u"Print") {
        drawPage(p, QRectF(7, 2.5, 10, 8));
        p.setBrush(QColor(180, 180, 180));
        p.drawRect(QRectF(2.5, 9.5, 19, 9));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(6.5, 15.5, 11, 6));
    } else if (key == u"Cut") {
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QRectF(3.5, 14.5, 6, 6));
        p.drawEllipse(QRectF(14.5, 14.5, 6, 6));
        p.drawLine(QPointF(8.5, 15), QPointF(17, 2.5));
        p.drawLine(QPointF(15.5, 15), QPointF(7, 2.5));
    } else if (key == u"Copy") {
        drawPage(p, QRectF(3.5, 2.5, 11, 14));
        drawPage(p, QRectF(9.5, 7.5, 11, 14));
    } else if (key == u"Paste") {
        p.setBrush(QColor(190, 140, 80));
        p.drawRect(QRectF(3.5, 4.5, 15, 17));
        p.setBrush(QColor(160, 160, 160));
        p.drawRect(QRectF(7.5, 2.5, 7, 4));
        drawPage(p, QRectF(10.5, 9.5, 11, 12));
    } else if (key == u"Bold") {
        drawLetter(p, QStringLiteral("B"), true, false, false);
    } else if (key == u"Italic") {
        drawLetter(p, QStringLiteral("I"), false, true, false);
    } else if (key == u"Underline") {
        drawLetter(p, QStringLiteral("U"), false, false, true);
    } else if (key == u"Align Left") {
        drawLines(p, Qt::AlignLeft);
    } else if (key == u"Center") {
        drawLines(p, Qt::AlignHCenter);
    } else if (key == u"Align Right") {
        drawLines(p, Qt::AlignRight);
    }
}

// Each key with the name of its picture in the desktop's icon theme.
const std::pair<const char *, const char *> kThemeNames[] = {
    {"New", "document-new"},
    {"Open", "document-open"},
    {"Save", "document-save"},
    {"Print", "document-print"},
    {"Cut", "edit-cut"},
    {"Copy", "edit-copy"},
    {"Paste", "edit-paste"},
    {"Bold", "format-text-bold"},
    {"Italic", "format-text-italic"},
    {"Underline", "format-text-underline"},
    {"Align Left", "format-justify-left"},
    {"Center", "format-justify-center"},
    {"Align Right", "format-justify-right"},
};

} // namespace

QIcon toolbarIcon(const QString &key)
{
    for (const auto &[known, themeName] : kThemeNames) {
        if (key != QLatin1String(known))
            continue;
        QPixmap pixmap(kSize, kSize);
        pixmap.fill(Qt::transparent);
        {
            QPainter painter(&pixmap);
            painter.setRenderHint(QPainter::Antialiasing);
            drawIcon(painter, key);
        }
        return QIcon::fromTheme(QLatin1String(themeName), QIcon(pixmap));
    }
    return QIcon();
}

} // namespace viewer
