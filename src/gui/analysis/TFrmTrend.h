#pragma once
// "Тренды": the physical values of chosen (input channel, label) pairs over
// capture time. Left, every pair with a decimal format in force, to check;
// right, one line per checked pair (up to eight), each with a value axis of
// its own in its colour, over the last minutes of capture time. The plot
// follows the present on each tick unless paused or zoomed; while it stands
// still a line above it says so and why, and the window opened again follows.
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QWidget>
#include <memory>
#include <string_view>
#include <vector>

#include "core/Monitor.h"
#include "core/analysis/TrendCandidates.h"

class QCPAxis;

namespace telvar5 {

class TrendPlotView;
class TrendPlotLine;

class TFrmTrend : public QWidget {
    Q_OBJECT
public:
    static constexpr int kMaxLines = 8;

    explicit TFrmTrend(Monitor& monitor, QWidget* parent = nullptr);
    ~TFrmTrend() override;

    // After every refresh tick: takes the new words and, while following,
    // moves the plot to the present (its right edge at most a hundredth of
    // the window ahead of it). Does nothing while the window is hidden.
    void afterTick();

    QListWidget* candidateList() const { return list_; }
    TrendPlotView* plot() const { return plot_; }
    QCPAxis* timeAxis() const;
    QSpinBox* minutesBox() const { return minutes_; }
    QPushButton* pauseButton() const { return pause_; }
    QPushButton* resetZoomButton() const { return resetZoom_; }
    QPushButton* savePngButton() const { return savePng_; }
    // The line that says the plot stands still, and why; hidden while following.
    QLabel* standingSign() const { return standing_; }
    // The plotted line of a checked pair, or nullptr.
    const TrendPlotLine* line(int channelNo, int label) const;
    // Whether the plot moves with the present: neither paused nor zoomed.
    bool following() const { return !paused_ && !zoomed_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    // The list of pairs as wide as the longest line a pair can have, in the font in use.
    void fitListToWidestPair();
    void refreshCandidates();
    void itemChanged(QListWidgetItem* item);
    void addLine(const TrendCandidate& pair, const QColor& colour, Qt::Alignment side);
    void removeLine(int key);
    QColor freeColour() const;
    Qt::Alignment freeSide() const;
    void feed();
    // Shows the time range at hand and fits the value axes; replots if anything changed.
    void redraw();
    bool setTimeRange(std::int64_t fromUs, std::int64_t toUs);
    void userZoomed();
    void resetZoom();
    // Back to the present: no pause, no zoom.
    void follow();
    void showStanding();
    void savePng();
    std::int64_t nowUs() const;
    // Where the right edge of the plot stands while following: at or just after the present.
    std::int64_t followedEnd() const;
    QString titleOf(const TrendCandidate& pair);

    Monitor& monitor_;
    std::vector<TrendCandidate> candidates_;
    std::vector<std::unique_ptr<TrendPlotLine>> lines_;
    QListWidget* list_ = nullptr;
    QSpinBox* minutes_ = nullptr;
    QPushButton* pause_ = nullptr;
    QPushButton* resetZoom_ = nullptr;
    QPushButton* savePng_ = nullptr;
    QLabel* standing_ = nullptr;
    TrendPlotView* plot_ = nullptr;
    bool paused_ = false;
    bool changed_ = false;      // an axis moved or a line came or went since the plot was drawn
    bool linesChanged_ = false; // lines took new points since then
    bool zoomed_ = false;
    std::int64_t viewEndUs_ = 0; // the right edge of the plot while not zoomed
};

} // namespace telvar5
