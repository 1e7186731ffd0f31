#pragma once

#include <QColor>
#include <QFont>

// The look shared by the diagram's items. Fonts are sized in pixels, so that text measures
// the same on every screen and in every export.
namespace diagram::style {

inline QFont font(int pixelSize, bool bold = false, bool italic = false)
{
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(pixelSize);
    f.setBold(bold);
    f.setItalic(italic);
    return f;
}

inline const QColor ink{0x26, 0x32, 0x38};
inline const QColor faint{0x78, 0x90, 0x9c};
inline const QColor blue{0x1e, 0x6f, 0xc8};
inline const QColor amber{0xf5, 0x9e, 0x0b};
inline const QColor red{0xc6, 0x28, 0x28};

} // namespace diagram::style
