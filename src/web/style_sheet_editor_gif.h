#pragma once
// The column background of a generated style sheet: a picture one pixel high, the logo
// column's colour over its width and the main column's colour over the rest, repeated
// down the page. Written as a GIF, the format the style sheets name.

#include <QByteArray>
#include <QColor>

namespace arbor::web {

// A GIF of width x 1 pixels: the first leftWidth pixels left, the others right.
QByteArray twoColumnGif(int width, int leftWidth, const QColor& left, const QColor& right);

}  // namespace arbor::web
