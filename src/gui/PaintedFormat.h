#pragma once
// The pixel format of the image a painter paints into, where a picture
// rendered beforehand in that format can be copied onto it unchanged: the
// raster engine at whole device pixels (no scaling, whole-pixel shifts),
// full opacity, plain source-over. Format_Invalid for any other painter.
#include <QImage>

class QPainter;

namespace telvar5 {

QImage::Format paintedFormat(const QPainter& painter);

} // namespace telvar5
