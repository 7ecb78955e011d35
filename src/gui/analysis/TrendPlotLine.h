#pragma once
// One plotted pair of the trend window: the core's series of values, its line
// on the chart and its own value axis in the line's colour.
#include <QChart>
#include <QColor>
#include <QLineSeries>
#include <QList>
#include <QPointF>
#include <QValueAxis>
#include <vector>

#include "core/analysis/TrendCandidates.h"
#include "core/analysis/TrendSeries.h"

namespace telvar5 {

class TrendPlotLine {
public:
    // Adds the line and its axis (titled `title`, on `side`) to the chart.
    TrendPlotLine(QChart& chart, QValueAxis& timeAxis, const TrendCandidate& pair, const QColor& colour,
                  Qt::Alignment side, const QString& title);
    ~TrendPlotLine();
    TrendPlotLine(const TrendPlotLine&) = delete;
    TrendPlotLine& operator=(const TrendPlotLine&) = delete;

    TrendSeries& data() { return data_; }
    const TrendSeries& data() const { return data_; }
    QLineSeries* series() const { return series_; }
    QValueAxis* axis() const { return axis_; }
    QColor colour() const { return colour_; }
    Qt::Alignment side() const { return side_; }

    // Shows the points within [fromUs, toUs], at most maxPoints. When
    // fitValues is set (and on the first drawing that has points) the value
    // axis is fitted to the points shown if they left it or fill less than
    // half of it: the chart recomputes a whole line at every change of its
    // axes, so the scale does not move for every small change of the data.
    void draw(std::int64_t fromUs, std::int64_t toUs, std::size_t maxPoints, bool fitValues);
    // The next drawing fits the value axis to its points, wherever it was.
    void fitAgain() { fitted_ = false; }

private:
    void fit(bool always);

    QChart& chart_;
    TrendSeries data_;
    QColor colour_;
    Qt::Alignment side_;
    QLineSeries* series_;
    QValueAxis* axis_;
    bool fitted_ = false;
    std::vector<TrendPoint> window_;
    std::vector<TrendPoint> shown_; // what the line holds, to skip an update that changes nothing
    QList<QPointF> points_;
};

} // namespace telvar5
