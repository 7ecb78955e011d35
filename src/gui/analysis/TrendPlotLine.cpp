#include "gui/analysis/TrendPlotLine.h"

#include <algorithm>
#include <cmath>

#include "gui/analysis/AxisTicks.h"
#include "gui/analysis/TrendPlotView.h"

namespace telvar5 {

namespace {

double seconds(std::int64_t us) { return static_cast<double>(us) / 1e6; }

} // namespace

TrendPlotLine::TrendPlotLine(TrendPlotView& plot, const TrendCandidate& pair, const QColor& colour,
                             Qt::Alignment side, const QString& title)
    : plot_(plot), data_(pair.channelNo, pair.label, pair.format), colour_(colour), side_(side), title_(title),
      axis_(plot.addValueAxis(side)), graph_(plot.addGraph(plot.timeAxis(), axis_))
{
    const QPen pen(colour, 0); // a cosmetic one-pixel pen draws fastest
    graph_->setPen(pen);
    graph_->setName(title);
    graph_->setAdaptiveSampling(true);
    axis_->setLabel(title + QStringLiteral(" — нет слов"));
    axis_->setTickLabels(false);
    axis_->setLabelColor(colour);
    axis_->setTickLabelColor(colour);
    axis_->setBasePen(pen);
    axis_->setTickPen(pen);
    axis_->setSubTickPen(pen);
}

TrendPlotLine::~TrendPlotLine()
{
    plot_.removeGraph(graph_);
    plot_.removeValueAxis(axis_);
}

bool TrendPlotLine::takeNewPoints()
{
    const std::uint64_t fresh = data_.added() - taken_;
    if (fresh == 0)
        return false;
    if (taken_ == 0) {
        axis_->setLabel(title_);
        axis_->setTickLabels(true);
    }
    QCPGraphDataContainer& graph = *graph_->data();
    // More new points than the series holds: it let go of some the graph never had, so all afresh.
    const std::size_t count = fresh > data_.size() ? data_.size() : static_cast<std::size_t>(fresh);
    if (fresh > data_.size())
        graph.clear();
    QVector<QCPGraphData> points;
    points.reserve(static_cast<qsizetype>(count));
    for (std::size_t i = data_.size() - count; i < data_.size(); ++i) {
        const TrendPoint& p = data_.point(i);
        points.append(QCPGraphData(seconds(p.timeUs), p.value));
        if (!freshLowest_ || p.value < freshLowest_->value)
            freshLowest_ = p;
        if (!freshHighest_ || p.value > freshHighest_->value)
            freshHighest_ = p;
    }
    graph.add(points, true);
    if (data_.size() > 0)
        graph.removeBefore(seconds(data_.point(0).timeUs)); // what the series let go of
    taken_ = data_.added();
    return true;
}

bool TrendPlotLine::fit(std::int64_t fromUs, std::int64_t toUs, bool fitValues)
{
    if (!fitValues && fitted_)
        return false;
    const std::optional<TrendValueRange> shown = shownValues(fromUs, toUs);
    if (!shown)
        return false;
    const double min = shown->min;
    const double max = shown->max;
    const QCPRange now = axis_->range();
    const bool inside = min >= now.lower && max <= now.upper;
    if (fitted_ && inside && (max - min) * 2 >= now.size())
        return false;
    fitted_ = true;
    // A flat line sits in the middle of a scale of its own size; others get a margin of a tenth.
    const double margin = max > min ? (max - min) * 0.1 : std::max(1.0, std::fabs(max) * 0.05);
    // The scale ends on round values, with round ticks between.
    const double step = niceStep(max - min + 2 * margin, 5);
    const QCPRange wanted(std::floor((min - margin) / step) * step, std::ceil((max + margin) / step) * step);
    if (wanted == now)
        return false;
    setRoundTicks(*axis_, step);
    axis_->setRange(wanted);
    return true;
}

std::optional<TrendValueRange> TrendPlotLine::shownValues(std::int64_t fromUs, std::int64_t toUs)
{
    const auto within = [&](const std::optional<TrendPoint>& p) {
        return !p || (p->timeUs >= fromUs && p->timeUs <= toUs);
    };
    // A full series lets go of its oldest points: when they lay in the window, it is read again.
    const bool lostShownPoints = data_.added() > data_.size() && data_.point(0).timeUs > fromUs;
    // The same window, and the new points within it: the old values and the new ones.
    if (fromUs == fitFromUs_ && toUs == fitToUs_ && !lostShownPoints && within(freshLowest_) &&
        within(freshHighest_)) {
        if (freshLowest_) {
            TrendValueRange& r = shown_ ? *shown_ : shown_.emplace(freshLowest_->value, freshHighest_->value);
            r.min = std::min(r.min, freshLowest_->value);
            r.max = std::max(r.max, freshHighest_->value);
        }
    } else {
        shown_ = data_.valueRange(fromUs, toUs);
        fitFromUs_ = fromUs;
        fitToUs_ = toUs;
    }
    freshLowest_.reset();
    freshHighest_.reset();
    return shown_;
}

} // namespace telvar5
