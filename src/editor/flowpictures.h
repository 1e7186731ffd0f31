#pragma once

#include <QIcon>
#include <QPixmap>

class QPainter;
class QRectF;

namespace editor {

// The designer's pictures, drawn rather than shipped as image files: one palette icon
// per call function (by palette position) and the tree's node pictures.
namespace flowpictures {

constexpr int kPaletteCount = 14;

// The picture of palette button `index` (0 to 13), the same in every mode, so that a
// disabled or pressed button keeps its picture.
QIcon paletteIcon(int index);
QPixmap palettePixmap(int index, int size = 32);
// The same picture drawn as shapes into `target`, so that a vector drawing (an SVG) keeps it
// sharp at any size.
void paintPalettePicture(QPainter &painter, int index, const QRectF &target);

// Tree image list: index 2 is the selected-node picture; 1 and any other index the plain
// node picture.
QPixmap nodePicture(int imageIndex);
// A node's icon: its image when shown normally, its selected image when selected.
QIcon nodeIcon(int image, int selectedImage);

} // namespace flowpictures
} // namespace editor
