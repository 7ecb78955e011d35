#pragma once
// A scroll bar repainted from its picture (StillPicture) while it looks the
// same: the grids' bars are as tall as the grids, and the style's gradients
// and lines over that height went to the raster engine's thread pool on every
// repaint of a grid. Under the mouse or held, where a part of the bar lights
// up or sinks, QScrollBar draws it.
#include <QScrollBar>

#include "gui/StillPicture.h"

namespace telvar5 {

class PicturedScrollBar : public QScrollBar {
    Q_OBJECT
public:
    explicit PicturedScrollBar(Qt::Orientation orientation, QWidget* parent = nullptr);

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    StillPicture picture_;
    bool held_ = false;
};

} // namespace telvar5
