#include "gui/analysis/TrendChartView.h"

#include <QValueAxis>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

namespace telvar5 {

TrendChartView::TrendChartView(QChart* chart, QWidget* parent) : QChartView(chart, parent)
{
    setRubberBand(QChartView::RectangleRubberBand);
    setRenderHint(QPainter::Antialiasing, false);
}

void TrendChartView::wheelEvent(QWheelEvent* event)
{
    const QRectF area = chart()->plotArea();
    const double steps = event->angleDelta().y() / 120.0;
    if (steps == 0.0 || area.width() <= 0.0) {
        event->ignore();
        return;
    }
    // Each notch away from the user shows 4/5 of the time, the pointer staying on its moment.
    const double factor = std::pow(0.8, std::clamp(steps, -10.0, 10.0));
    const double x = std::clamp(chart()->mapFromScene(mapToScene(event->position().toPoint())).x(), area.left(),
                                area.right());
    QRectF shown = area;
    shown.setLeft(x - (x - area.left()) * factor);
    shown.setWidth(area.width() * factor);
    chart()->zoomIn(shown);
    event->accept();
    emit zoomedByUser();
}

void TrendChartView::mouseReleaseEvent(QMouseEvent* event)
{
    const QPointF before = timeRange();
    QChartView::mouseReleaseEvent(event);
    if (timeRange() != before)
        emit zoomedByUser();
}

QPointF TrendChartView::timeRange() const
{
    const QList<QAbstractAxis*> axes = chart()->axes(Qt::Horizontal);
    const auto* axis = axes.isEmpty() ? nullptr : qobject_cast<const QValueAxis*>(axes.front());
    return axis ? QPointF(axis->min(), axis->max()) : QPointF();
}

} // namespace telvar5
