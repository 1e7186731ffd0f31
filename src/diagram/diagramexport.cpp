#include "diagramexport.h"

#include "diagramscene.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QImageWriter>
#include <QPainter>
#include <QSaveFile>
#include <QSvgGenerator>

#include <algorithm>
#include <cmath>

namespace diagram {

namespace {

// A picture larger than this is scaled down: beyond it an image takes too long to encode
// and is too large for a document, and an SVG serves a flow that large better anyway.
constexpr double kMaxPictureSide = 8192;
constexpr double kMaxPicturePixels = 8.0 * 1024 * 1024;

QSize pixelSize(const QRectF &area, double scale)
{
    return QSize(std::max(1, int(std::ceil(area.width() * scale))),
                 std::max(1, int(std::ceil(area.height() * scale))));
}

} // namespace

QString diagramTitle(const QString &table)
{
    return table.isEmpty() ? QStringLiteral("Call flow")
                           : QStringLiteral("Call flow %1").arg(table);
}

ExportFormat exportFormatOf(const QString &fileName)
{
    const QString suffix = QFileInfo(fileName).suffix().toLower();
    if (suffix == u"svg")
        return ExportFormat::Svg;
    if (suffix == u"png")
        return ExportFormat::Png;
    return ExportFormat::Unknown;
}

QByteArray svgBytes(DiagramScene &scene, const QString &title)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    const QSize size = pixelSize(scene.diagramRect(), 1.0);
    QSvgGenerator generator;
    generator.setOutputDevice(&buffer);
    // Fixed title, description, size and resolution: the file depends on the flow alone.
    // The generator writes the title as it is, so a table named "A & B" needs escaping.
    generator.setTitle(title.toHtmlEscaped());
    generator.setDescription(QStringLiteral("Call flow diagram drawn by Dialwright"));
    generator.setSize(size);
    generator.setViewBox(QRect(QPoint(0, 0), size));
    generator.setResolution(72);
    QPainter painter(&generator);
    scene.renderFlow(&painter, QRectF(QPointF(0, 0), size));
    painter.end();
    return bytes;
}

QByteArray pngBytes(DiagramScene &scene, double *scale)
{
    const QRectF area = scene.diagramRect();
    double s = 1.0;
    s = std::min(s, kMaxPictureSide / std::max(area.width(), area.height()));
    s = std::min(s, std::sqrt(kMaxPicturePixels / std::max(1.0, area.width() * area.height())));
    if (scale)
        *scale = s;
    QImage image(pixelSize(area, s), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    scene.renderFlow(&painter, QRectF(QPointF(0, 0), image.size()));
    painter.end();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    if (!writer.write(image))
        return {};
    return bytes;
}

bool exportDiagram(DiagramScene &scene, const QString &fileName, const QString &title,
                   QString *error, double *scale)
{
    const QString shown = QDir::toNativeSeparators(fileName);
    const ExportFormat format = exportFormatOf(fileName);
    if (format == ExportFormat::Unknown) {
        *error = QStringLiteral("%1: a diagram file name ends in .svg or .png.").arg(shown);
        return false;
    }
    if (scene.isEmpty()) {
        *error = QStringLiteral("The flow is empty: there is nothing to draw.");
        return false;
    }
    if (scale)
        *scale = 1.0;
    const QByteArray bytes =
        format == ExportFormat::Svg ? svgBytes(scene, title) : pngBytes(scene, scale);
    if (bytes.isEmpty()) {
        *error = QStringLiteral("The diagram could not be drawn.");
        return false;
    }
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()
        || !file.commit()) {
        *error = QStringLiteral("Cannot write %1: %2").arg(shown, file.errorString());
        return false;
    }
    return true;
}

} // namespace diagram
