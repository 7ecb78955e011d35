#include "gui/StillPicture.h"

#include <QPainter>
#include <QRegion>
#include <QWidget>

#include "gui/PaintedFormat.h"

namespace telvar5 {

bool StillPicture::paint(QWidget& widget, const QRegion& region, const QByteArray& look, const Draw& draw)
{
    if (look != look_) {
        // A look seen once may be a passing one (scrolling, a press): rendering it twice more would be waste.
        look_ = look;
        captured_ = false;
        picture_ = QImage();
        return false;
    }
    QPainter painter(&widget);
    // The picture is made over opaque grounds; a translucent window's pixels may be anything.
    if (paintedFormat(painter) != QImage::Format_RGB32)
        return false;
    if (!captured_) {
        captured_ = true;
        picture_ = capture(widget, draw);
    }
    if (picture_.isNull())
        return false;
    // Clipped to one rectangle at a time, the picture is copied or blended row by row, never on the thread pool.
    for (const QRect& rect : region) {
        painter.setClipRect(rect);
        painter.drawImage(0, 0, picture_);
    }
    return true;
}

void StillPicture::forget()
{
    look_.clear();
    captured_ = false;
    picture_ = QImage();
}

QImage StillPicture::capture(const QWidget& widget, const Draw& draw)
{
    const auto drawnOver = [&](QRgb ground) {
        QImage image(widget.size(), QImage::Format_RGB32);
        image.setDotsPerMeterX(qRound(widget.logicalDpiX() / 0.0254));
        image.setDotsPerMeterY(qRound(widget.logicalDpiY() / 0.0254));
        image.fill(ground);
        QPainter painter(&image);
        // As QPainter sets itself up on a widget: its brush stays empty, its layout direction automatic.
        painter.setPen(widget.palette().color(widget.foregroundRole()));
        painter.setFont(widget.font());
        draw(painter);
        return image;
    };
    const QImage overBlack = drawnOver(qRgb(0, 0, 0));
    const QImage overWhite = drawnOver(qRgb(255, 255, 255));
    QImage picture(widget.size(), QImage::Format_ARGB32_Premultiplied);
    bool opaque = true;
    for (int y = 0; y < picture.height(); ++y) {
        const auto* black = reinterpret_cast<const QRgb*>(overBlack.constScanLine(y));
        const auto* white = reinterpret_cast<const QRgb*>(overWhite.constScanLine(y));
        auto* out = reinterpret_cast<QRgb*>(picture.scanLine(y));
        for (int x = 0; x < picture.width(); ++x) {
            if (black[x] == white[x]) {
                out[x] = black[x];
            } else if (black[x] == qRgb(0, 0, 0) && white[x] == qRgb(255, 255, 255)) {
                out[x] = 0;
                opaque = false;
            } else {
                return {};
            }
        }
    }
    return opaque ? picture.convertToFormat(QImage::Format_RGB32) : picture;
}

} // namespace telvar5
