#include "gui/PaintedFormat.h"

#include <QPaintEngine>
#include <QPainter>
#include <QPixmap>
#include <cmath>

namespace telvar5 {

QImage::Format paintedFormat(const QPainter& painter)
{
    const QPaintEngine* engine = painter.paintEngine();
    const QTransform& toDevice = painter.deviceTransform();
    if (!engine || engine->type() != QPaintEngine::Raster || painter.opacity() != 1.0
        || painter.compositionMode() != QPainter::CompositionMode_SourceOver
        || toDevice.type() > QTransform::TxTranslate || toDevice.dx() != std::round(toDevice.dx())
        || toDevice.dy() != std::round(toDevice.dy()))
        return QImage::Format_Invalid;
    const QPaintDevice* device = engine->paintDevice();
    if (!device || device->devicePixelRatio() != 1.0)
        return QImage::Format_Invalid;
    if (device->devType() == QInternal::Image)
        return static_cast<const QImage*>(device)->format();
    if (device->devType() == QInternal::Pixmap)
        return static_cast<const QPixmap*>(device)->toImage().format();
    return QImage::Format_Invalid;
}

} // namespace telvar5
