#include "gui/analysis/TrendPlotLine.h"

#include "gui/analysis/AxisTicks.h"

#include <QPen>
#include <algorithm>
#include <cmath>

namespace telvar5 {

TrendPlotLine::TrendPlotLine(QChart& chart, QValueAxis& timeAxis, const TrendCandidate& pair, const QColor& colour,
                             Qt::Alignment side, const QString& title)
    : chart_(chart), data_(pair.channelNo, pair.label, pair.format), colour_(colour), side_(side),
      series_(new QLineSeries), axis_(new QValueAxis)
{
    QPen pen(colour);
    pen.setWidth(1); // a cosmetic one-pixel pen draws fastest
    series_->setPen(pen);
    series_->setName(title);
    axis_->setTitleText(title);
    axis_->setTitleBrush(colour);
    axis_->setLabelsColor(colour);
    axis_->setLinePenColor(colour);
    axis_->setGridLineVisible(false); // the grids of several scales would cross each other
    axis_->setLabelFormat(QStringLiteral("%.4g"));
    chart_.addSeries(series_);
    chart_.addAxis(axis_, side);
    series_->attachAxis(&timeAxis);
    series_->attachAxis(axis_);
}

TrendPlotLine::~TrendPlotLine()
{
    // Removed from the chart, the line and the axis are ours again.
    chart_.removeSeries(series_);
    chart_.removeAxis(axis_);
    delete series_;
    delete axis_;
}

void TrendPlotLine::draw(std::int64_t fromUs, std::int64_t toUs, std::size_t maxPoints, bool fitValues)
{
    data_.window(fromUs, toUs, maxPoints, window_);
    if (window_ != shown_) {
        points_.resize(static_cast<qsizetype>(window_.size()));
        for (std::size_t i = 0; i < window_.size(); ++i) {
            const TrendPoint& p = window_[i];
            points_[static_cast<qsizetype>(i)] = QPointF(static_cast<double>(p.timeUs) / 1e6, p.value);
        }
        series_->replace(points_);
        shown_.swap(window_);
    }
    if (fitValues || !fitted_)
        fit(!fitted_);
}

void TrendPlotLine::fit(bool always)
{
    if (shown_.empty())
        return;
    const auto byValue = [](const TrendPoint& a, const TrendPoint& b) { return a.value < b.value; };
    const auto [lo, hi] = std::minmax_element(shown_.begin(), shown_.end(), byValue);
    const double min = lo->value;
    const double max = hi->value;
    const double range = axis_->max() - axis_->min();
    const bool inside = min >= axis_->min() && max <= axis_->max();
    if (!always && inside && (max - min) * 2 >= range)
        return;
    // A flat line sits in the middle of a scale of its own size; others get a margin of a tenth.
    const double margin = max > min ? (max - min) * 0.1 : std::max(1.0, std::fabs(max) * 0.05);
    // The scale ends on round values, with round ticks between.
    const double step = niceStep(max - min + 2 * margin, 5);
    const double from = std::floor((min - margin) / step) * step;
    const double to = std::ceil((max + margin) / step) * step;
    if (axis_->min() != from || axis_->max() != to) {
        setRoundTicks(*axis_, step);
        axis_->setRange(from, to);
    }
    fitted_ = true;
}

} // namespace telvar5
