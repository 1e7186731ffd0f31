#pragma once

#include <QIcon>
#include <QString>

namespace viewer {

// The picture of a viewer toolbar button: the desktop icon theme's, else one drawn here,
// so that no image files are needed. Keys: "Open", "Save", "Print", "Cut", "Copy", "Paste",
// "Bold", "Italic", "Underline", "Align Left", "Center", "Align Right", and "New". Unknown
// keys give a null icon.
QIcon toolbarIcon(const QString &key);

} // namespace viewer
