#pragma once
// One plotted pair of the trend window: the core's series of values, its
// graph on the plot and its own value axis in the line's colour. The graph
// holds every point the series holds; the plot draws the lowest and the
// highest of the points that fall on each pixel column, so no peak is lost
// however dense the data.
#include <QColor>
#include <QString>
#include <cstdint>
#include <optional>

#include "core/analysis/TrendCandidates.h"
#include "core/analysis/TrendSeries.h"

class QCPAxis;
class QCPGraph;

namespace telvar5 {

class TrendPlotView;

class TrendPlotLine {
public:
    // Adds the graph and its axis (titled `title`, on `side`) to the plot.
    TrendPlotLine(TrendPlotView& plot, const TrendCandidate& pair, const QColor& colour, Qt::Alignment side,
                  const QString& title);
    ~TrendPlotLine();
    TrendPlotLine(const TrendPlotLine&) = delete;
    TrendPlotLine& operator=(const TrendPlotLine&) = delete;

    TrendSeries& data() { return data_; }
    const TrendSeries& data() const { return data_; }
    QCPGraph* graph() const { return graph_; }
    QCPAxis* axis() const { return axis_; }
    QColor colour() const { return colour_; }
    Qt::Alignment side() const { return side_; }

    // Brings the graph up to the series: its new points in, those the series
    // let go of out. Until the first point the axis says there is none, rather
    // than showing a scale of nothing. Returns whether the graph changed.
    bool takeNewPoints();
    // When fitValues is set (and on the first drawing that has points), fits
    // the value axis to the points within [fromUs, toUs] if they left it or
    // fill less than half of it, so the scale does not move for every small
    // change of the data. Returns whether the axis changed.
    bool fit(std::int64_t fromUs, std::int64_t toUs, bool fitValues);
    // The next fit fits the value axis to its points, wherever it was.
    void fitAgain() { fitted_ = false; }

private:
    // The lowest and highest value within [fromUs, toUs].
    std::optional<TrendValueRange> shownValues(std::int64_t fromUs, std::int64_t toUs);

    TrendPlotView& plot_;
    TrendSeries data_;
    QColor colour_;
    Qt::Alignment side_;
    QString title_;
    QCPAxis* axis_;
    QCPGraph* graph_;
    std::uint64_t taken_ = 0; // data_.added() when the graph last took its points
    bool fitted_ = false;
    // The window of the last fit and the values shown in it, which the points
    // taken since widen: while the window stands, a fit needs no pass over it.
    std::int64_t fitFromUs_ = 0;
    std::int64_t fitToUs_ = -1;
    std::optional<TrendValueRange> shown_;
    std::optional<TrendPoint> freshLowest_, freshHighest_; // of the points taken since the last fit
};

} // namespace telvar5
