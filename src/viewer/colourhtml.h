#pragma once

#include "colouring.h"

#include <QString>
#include <QStringView>

namespace viewer {

// A standalone HTML document showing `text` coloured as the viewer colours it: a <pre> in
// which each maximal run of one colour is one <span style="color:#rrggbb">, black runs
// included, the text escaped and its line breaks kept.
QString colouredHtml(QStringView text, const std::vector<Colour> &colours,
                     const QString &title);

} // namespace viewer
