#pragma once

#include <QByteArray>
#include <QString>

namespace diagram {

class DiagramScene;

// The title an exported diagram of the flow table carries.
QString diagramTitle(const QString &table);

// The file formats a diagram is exported to, by the file name's suffix.
enum class ExportFormat { Unknown, Svg, Png };
ExportFormat exportFormatOf(const QString &fileName);

// The flow of the scene (without selection, test-call or checker marks) as an SVG drawing
// or a PNG picture. The same flow always gives the same bytes. A picture too large for an
// image is scaled down: *scale (when given) is the scale used, 1 at full size.
QByteArray svgBytes(DiagramScene &scene, const QString &title);
QByteArray pngBytes(DiagramScene &scene, double *scale = nullptr);

// Writes the diagram to `fileName` in the format its suffix names, whole or not at all.
// False with a sentence that says why (an unknown suffix, an empty flow, a file that cannot
// be written).
bool exportDiagram(DiagramScene &scene, const QString &fileName, const QString &title,
                   QString *error, double *scale = nullptr);

} // namespace diagram
