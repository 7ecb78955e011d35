#pragma once
// The picture of what a widget paints of itself while it looks the same: a
// scroll bar or a frame that the style draws with gradients and long lines,
// which the raster engine splits across its thread pool on every repaint.
// The second repaint with the same look renders the picture, and later ones
// copy it. It is kept only where it holds every pixel exactly: the drawing,
// made over black and over white, either covers a pixel the same way on both
// or leaves both untouched; anything that blends with what lies beneath is
// drawn as before. The look is whatever decides the drawing (the style
// option and the style), so any change of it draws directly again.
#include <QByteArray>
#include <QImage>
#include <functional>

class QPainter;
class QRegion;
class QWidget;

namespace telvar5 {

class StillPicture {
public:
    using Draw = std::function<void(QPainter&)>;

    // Paints the region of `widget` from the picture of what `draw` paints, when
    // `look` is the one of the previous repaint; false where the widget must paint
    // itself (a new look, a drawing that blends, a device the picture does not fit).
    bool paint(QWidget& widget, const QRegion& region, const QByteArray& look, const Draw& draw);
    // The widget's drawing moves on by itself (a style animation).
    void forget();

private:
    // What `draw` paints over the widget as QPainter sets itself up for it: opaque
    // where it covers, transparent where it leaves the ground; null where it blends.
    static QImage capture(const QWidget& widget, const Draw& draw);

    QByteArray look_;
    bool captured_ = false;
    QImage picture_;
};

} // namespace telvar5
