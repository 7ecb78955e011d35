#include "gui/analysis/TrendPlotView.h"

namespace telvar5 {

TrendPlotView::TrendPlotView(QWidget* parent) : QCustomPlot(parent)
{
    // Only the time axis of the default four stays: each line brings its own value axis.
    axisRect()->removeAxis(yAxis);
    axisRect()->removeAxis(xAxis2);
    axisRect()->removeAxis(yAxis2);
    // One-pixel lines without antialiasing, each drawn as one polyline: the
    // fastest way through thousands of points, and sharp at this density anyway.
    setNotAntialiasedElements(QCP::aeAll);
    setPlottingHint(QCP::phFastPolylines, false);
    setInteractions(QCP::iRangeZoom);
    axisRect()->setRangeZoom(Qt::Horizontal);
    axisRect()->setRangeZoomFactor(0.8, 0.8); // each notch away from the user shows 4/5 of the time
    axisRect()->setRangeZoomAxes({xAxis}, {});
    setSelectionRectMode(QCP::srmZoom);
    // The lines on a buffered layer of their own, on top: a tick that moves no
    // axis draws them alone again, the axes, grid and labels staying in the
    // buffer beneath. The rubber band goes into that buffer too, under the lines.
    layer(QStringLiteral("overlay"))->setMode(QCPLayer::lmLogical);
    moveLayer(linesLayer(), layer(QStringLiteral("overlay")), QCustomPlot::limAbove);
    linesLayer()->setMode(QCPLayer::lmBuffered);
}

QCPLayer* TrendPlotView::linesLayer() const { return layer(QStringLiteral("main")); }

void TrendPlotView::replotLines() { linesLayer()->replot(); }

QCPAxis* TrendPlotView::addValueAxis(Qt::Alignment side)
{
    QCPAxis* axis = axisRect()->addAxis(side == Qt::AlignRight ? QCPAxis::atRight : QCPAxis::atLeft);
    axis->grid()->setVisible(false); // the grids of several scales would cross each other
    axisRect()->setRangeZoomAxes({xAxis}, valueAxes());
    return axis;
}

void TrendPlotView::removeValueAxis(QCPAxis* axis)
{
    axisRect()->removeAxis(axis);
    axisRect()->setRangeZoomAxes({xAxis}, valueAxes());
}

QRect TrendPlotView::plotArea() const { return axisRect()->rect(); }

QList<QCPAxis*> TrendPlotView::valueAxes() const
{
    return axisRect()->axes(QCPAxis::atLeft | QCPAxis::atRight);
}

QList<QCPRange> TrendPlotView::ranges() const
{
    QList<QCPRange> result;
    for (const QCPAxis* axis : axisRect()->axes())
        result.append(axis->range());
    return result;
}

void TrendPlotView::wheelEvent(QWheelEvent* event)
{
    const QList<QCPRange> before = ranges();
    QCustomPlot::wheelEvent(event);
    if (ranges() != before)
        emit zoomedByUser();
}

void TrendPlotView::mouseReleaseEvent(QMouseEvent* event)
{
    const QList<QCPRange> before = ranges();
    QCustomPlot::mouseReleaseEvent(event); // a rubber band zooms here
    if (ranges() == before && event->button() == Qt::RightButton && plotArea().contains(event->pos()))
        zoomOut();
    if (ranges() != before)
        emit zoomedByUser();
}

void TrendPlotView::zoomOut()
{
    for (QCPAxis* axis : axisRect()->axes())
        axis->scaleRange(2.0, axis->range().center());
    replot();
}

} // namespace telvar5
