#pragma once
// The plot of the trend window: one time axis at the bottom, the value axes
// of the lines at the sides. A rubber band zooms into a rectangle (time and
// every value axis), the mouse wheel zooms the time around the pointer, a
// right click shows twice as much of everything around the middle.
#include <qcustomplot.h>

namespace telvar5 {

class TrendPlotView : public QCustomPlot {
    Q_OBJECT
public:
    explicit TrendPlotView(QWidget* parent = nullptr);

    QCPAxis* timeAxis() const { return xAxis; }
    // A value axis of its own for a line, on the left or the right; the rubber band zooms it too.
    QCPAxis* addValueAxis(Qt::Alignment side);
    void removeValueAxis(QCPAxis* axis);
    // The plot area in widget coordinates.
    QRect plotArea() const;
    // Draws the lines again and nothing else, for new points while no axis moved.
    void replotLines();

signals:
    // The user changed the shown range: a rubber band, a right click (zoom out) or the wheel.
    void zoomedByUser();

protected:
    void wheelEvent(QWheelEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    // Where the graphs are drawn.
    QCPLayer* linesLayer() const;
    // Every axis's range, to tell whether an event changed one.
    QList<QCPRange> ranges() const;
    QList<QCPAxis*> valueAxes() const;
    void zoomOut();
};

} // namespace telvar5
