#pragma once
// The chart view of the trend window: a rubber band zooms into a rectangle,
// the mouse wheel zooms the time around the pointer.
#include <QChartView>

namespace telvar5 {

class TrendChartView : public QChartView {
    Q_OBJECT
public:
    explicit TrendChartView(QChart* chart, QWidget* parent = nullptr);

signals:
    // The user changed the shown range: a rubber band, a right click (zoom out) or the wheel.
    void zoomedByUser();

protected:
    void wheelEvent(QWheelEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QPointF timeRange() const;
};

} // namespace telvar5
