#include <QImageReader>
#include <QMouseEvent>
#include <QTest>
#include <algorithm>
#include <functional>
#include <optional>
#include <gtest/gtest.h>
#include <memory>

#include "../WidgetFakes.h"
#include "../WorkingDirectory.h"
#include "core/Monitor.h"
#include "gui/analysis/TFrmTrend.h"
#include "gui/analysis/TrendPlotLine.h"
#include "gui/analysis/TrendPlotView.h"

namespace telvar5::widgets_test {
namespace {

class ManualClock final : public MonotonicClock {
public:
    std::int64_t now = 1'000'000;
    std::int64_t nowUs() const override { return now; }
};

// Sign at bit 29, data bits 28..21 weighing 128..1: whole numbers.
std::uint32_t wordOf(int value, int label)
{
    const auto field = static_cast<std::uint32_t>(value) << 20;
    return (value < 0 ? 0x10000000u : 0u) | (field & 0x0FF00000u) | static_cast<std::uint32_t>(label);
}

// The points a line's graph holds, in seconds and values.
QList<QPointF> pointsOf(const TrendPlotLine& line)
{
    QList<QPointF> points;
    for (const QCPGraphData& p : *line.graph()->data())
        points.append(QPointF(p.key, p.value));
    return points;
}

class TrendWindowTest : public ::testing::Test {
protected:
    WorkingDirectory dir; // the monitor reads its formats settings file here
    FakeBus bus;
    FakePrompts prompts;
    ManualClock clock;
    std::unique_ptr<Monitor> monitor;
    std::unique_ptr<TFrmTrend> window;

    // Nine pairs with a format: input 1 label 203, input 2 label 310, input 3 labels 201..207.
    void SetUp() override
    {
        monitor = std::make_unique<Monitor>(bus, prompts, clock);
        FormatTables& f = monitor->run().formats;
        f.formatTable[0].setTag("IALT");
        f.formatTable[0].setUnits("\xF4\xF2"); // "фт"
        f.formatTable[0].setMsbBit(28);
        f.formatTable[0].setLsbBit(21);
        f.formatTable[0].setMsbWeight(128.0f);
        f.formatCount = 1;
        const std::pair<int, int> pairs[] = {{1, 0203}, {2, 0310}, {3, 0201}, {3, 0202}, {3, 0203},
                                             {3, 0204}, {3, 0205}, {3, 0206}, {3, 0207}};
        for (std::size_t i = 0; i < std::size(pairs); ++i) {
            f.paramFormatTable[i].setChannel(static_cast<std::uint8_t>(pairs[i].first));
            f.paramFormatTable[i].setLabel(static_cast<std::uint8_t>(pairs[i].second));
            f.paramFormatTable[i].setFormatTag("IALT");
        }
        f.paramFormatCount = std::size(pairs);
        monitor->analysis().startClock(clock.now);
        window = std::make_unique<TFrmTrend>(*monitor);
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    }

    // One tick `afterUs` after the last, storing these values of input 1 label 203 (and noise elsewhere).
    void tick(std::initializer_list<int> values, std::int64_t afterUs = 100'000)
    {
        clock.now += afterUs;
        for (int v : values) {
            monitor->analysis().wordStored(0, 0203, wordOf(v, 0203), 1, clock.now);
            monitor->analysis().wordStored(1, 0203, wordOf(v + 1, 0203), 1, clock.now);
            monitor->analysis().wordStored(0, 0204, wordOf(v + 2, 0204), 1, clock.now);
        }
        monitor->analysis().tickDone();
        window->afterTick();
    }

    double nowSeconds() const { return static_cast<double>(clock.now - 1'000'000) / 1e6; }
    // Five minutes shown, the right edge at most a hundredth of them (3 s) after the present.
    void expectFollowing() const
    {
        EXPECT_TRUE(window->following());
        EXPECT_GE(window->timeAxis()->range().upper, nowSeconds());
        EXPECT_LE(window->timeAxis()->range().upper, nowSeconds() + 3);
        EXPECT_DOUBLE_EQ(window->timeAxis()->range().size(), 300);
    }
    void check(int row) { window->candidateList()->item(row)->setCheckState(Qt::Checked); }
};

TEST_F(TrendWindowTest, ListsThePairsWithAFormatTakesEightAndRefreshesWhenShown)
{
    QListWidget* list = window->candidateList();
    ASSERT_EQ(list->count(), 9);
    EXPECT_EQ(list->item(0)->text(), QStringLiteral("Вх. 1  203  IALT, фт"));
    EXPECT_EQ(list->item(8)->text(), QStringLiteral("Вх. 3  207  IALT, фт"));
    for (int row = 0; row < 9; ++row)
        check(row);
    EXPECT_EQ(list->item(8)->checkState(), Qt::Unchecked);
    EXPECT_EQ(prompts.beeps, 1);
    ASSERT_NE(window->line(2, 0310), nullptr);
    // No scale for a pair without words, until its first word.
    EXPECT_EQ(window->line(1, 0203)->axis()->label(), QStringLiteral("IALT, фт — нет слов"));
    EXPECT_FALSE(window->line(1, 0203)->axis()->tickLabels());
    tick({7});
    EXPECT_EQ(window->line(1, 0203)->axis()->label(), QStringLiteral("IALT, фт"));
    EXPECT_TRUE(window->line(1, 0203)->axis()->tickLabels());
    EXPECT_EQ(window->line(2, 0310)->axis()->label(), QStringLiteral("IALT, фт — нет слов"));
    const QList<QCPAxis*> axes = window->plot()->axisRect()->axes(QCPAxis::atLeft | QCPAxis::atRight);
    EXPECT_EQ(axes.size(), 8);
    EXPECT_EQ(std::count_if(axes.begin(), axes.end(), [](QCPAxis* a) { return a->axisType() == QCPAxis::atLeft; }), 4);
    list->item(0)->setCheckState(Qt::Unchecked);
    check(8);
    EXPECT_EQ(window->line(1, 0203), nullptr);
    EXPECT_NE(window->line(3, 0207), nullptr);

    window->hide();
    monitor->run().formats.paramFormatTable[1].setFormatTag("NONE"); // input 2 label 310 loses its format
    window->show();
    EXPECT_EQ(list->count(), 8);
    EXPECT_EQ(window->line(2, 0310), nullptr);
}

TEST_F(TrendWindowTest, ALineHoldsTheValuesOfItsPairFromTheHistoryOnAndFollowsThePresent)
{
    tick({5, -5});
    tick({-128});
    check(0); // chosen after these words arrived
    tick({127});
    const TrendPlotLine* line = window->line(1, 0203);
    ASSERT_NE(line, nullptr);
    const QList<QPointF> expected{{0.1, 5}, {0.1, -5}, {0.2, -128}, {0.3, 127}};
    EXPECT_EQ(pointsOf(*line), expected);
    EXPECT_LE(line->axis()->range().lower, -128);
    EXPECT_GE(line->axis()->range().upper, 127) << "a word beyond the scale widens it at once";
    expectFollowing();
    tick({0}, 10'000'000);
    expectFollowing();
    EXPECT_LE(line->axis()->range().lower, -128);
    EXPECT_GE(line->axis()->range().upper, 127);
}

TEST_F(TrendWindowTest, APauseOrAZoomStopsFollowingUntilReleasedOrTheWindowIsOpenedAgain)
{
    const auto rubberBand = [this] {
        QWidget* plot = window->plot();
        const QPoint centre = window->plot()->plotArea().center();
        QTest::mousePress(plot, Qt::LeftButton, {}, centre - QPoint(100, 60));
        // The drag as the window system reports it, the button held (QTest's move on Qt 5 only
        // moves the cursor, and reports no button).
        const QPointF end = centre + QPoint(100, 60);
        QMouseEvent drag(QEvent::MouseMove, end, QPointF(plot->mapToGlobal(end.toPoint())), Qt::NoButton,
                         Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(plot, &drag);
        QTest::mouseRelease(plot, Qt::LeftButton, {}, centre + QPoint(100, 60));
        EXPECT_LT(window->timeAxis()->range().size(), 300);
        const auto ticks = qSharedPointerDynamicCast<QCPAxisTickerFixed>(window->timeAxis()->ticker());
        ASSERT_TRUE(ticks);
        EXPECT_GE(window->timeAxis()->range().size() / ticks->tickStep(), 3) << "ticks fit the narrower window";
    };
    const auto wheel = [this] {
        const QPointF at = window->plot()->plotArea().center();
        QWheelEvent notch(at, QPointF(window->plot()->mapToGlobal(at.toPoint())), {}, {0, 120}, Qt::NoButton, {},
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(window->plot(), &notch);
        EXPECT_DOUBLE_EQ(window->timeAxis()->range().size(), 240) << "a notch shows 4/5 of the time";
    };
    const auto rightClick = [this] {
        QTest::mouseClick(window->plot(), Qt::RightButton, {}, window->plot()->plotArea().center());
        EXPECT_DOUBLE_EQ(window->timeAxis()->range().size(), 600);
    };
    const auto resetZoom = [this] { window->resetZoomButton()->click(); };
    const auto pause = [this] { window->pauseButton()->click(); };
    // Closed and opened again from the menu.
    const auto reopen = [this] {
        window->hide();
        window->show();
    };
    struct Case {
        const char* name;
        std::function<void()> stop, resume;
    };
    const Case cases[] = {
        {"pause", pause, pause},
        {"rubber band", rubberBand, resetZoom},
        {"wheel", wheel, resetZoom},
        {"right click", rightClick, resetZoom},
        {"pause, then the window opened again", pause, reopen},
        {"wheel, then the window opened again", wheel, reopen},
    };
    check(0);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        tick({1});
        c.stop();
        const double shownMax = window->timeAxis()->range().upper;
        EXPECT_FALSE(window->following());
        EXPECT_TRUE(window->standingSign()->isVisible()) << "the plot says it stands still";
        tick({2}, 5'000'000);
        EXPECT_DOUBLE_EQ(window->timeAxis()->range().upper, shownMax);
        c.resume();
        expectFollowing();
        EXPECT_FALSE(window->pauseButton()->isChecked());
        EXPECT_FALSE(window->standingSign()->isVisible());
    }
    EXPECT_EQ(window->line(1, 0203)->graph()->dataCount(), 12) << "the words that came meanwhile are drawn";
}

// Counts the paint events a widget gets.
class PaintCounter : public QObject {
public:
    int paints = 0;
    bool eventFilter(QObject*, QEvent* event) override
    {
        paints += event->type() == QEvent::Paint;
        return false;
    }
};

TEST_F(TrendWindowTest, RedrawsOnlyWhenAWordCameOrTheWindowMoved)
{
    check(0);
    tick({1});
    PaintCounter counter;
    window->plot()->installEventFilter(&counter);
    struct Case {
        const char* what;
        std::optional<int> value;
        std::int64_t afterUs;
        bool drawn;
    };
    const Case cases[] = {
        {"a tick with nothing new", std::nullopt, 100'000, false},
        {"a word", 2, 100'000, true},
        {"the window stepping on", std::nullopt, 3'000'000, true},
        {"nothing new again", std::nullopt, 100'000, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QTest::qWait(20); // whatever the last tick asked for is drawn
        counter.paints = 0;
        if (c.value)
            tick({*c.value}, c.afterUs);
        else
            tick({}, c.afterUs);
        QTest::qWait(20);
        EXPECT_EQ(counter.paints > 0, c.drawn);
    }
}

TEST_F(TrendWindowTest, ADenseLineKeepsItsPeaksOnTheScreen)
{
    check(0);
    // Five minutes of words, ten a second, many to a pixel: a saw from 0 to 9 with one spike.
    constexpr int kSpikeTick = 1500;
    for (int i = 1; i <= 3000; ++i)
        tick({i == kSpikeTick ? 100 : i % 10});
    const TrendPlotLine& line = *window->line(1, 0203);
    const QImage image = window->plot()->toPixmap().toImage();
    const QRgb colour = line.colour().rgb();
    const auto drawnAt = [&](int tick, double value) {
        const int x = qRound(window->timeAxis()->coordToPixel(tick * 0.1));
        const int y = qRound(line.axis()->coordToPixel(value));
        for (int dx = -1; dx <= 1; ++dx)
            for (int dy = -1; dy <= 1; ++dy)
                if (image.pixel(x + dx, y + dy) == colour)
                    return true;
        return false;
    };
    EXPECT_GT(line.graph()->dataCount(), 2 * window->plot()->plotArea().width()) << "denser than the pixels";
    EXPECT_TRUE(drawnAt(kSpikeTick, 100)) << "the spike";
    EXPECT_TRUE(drawnAt(kSpikeTick, 0)) << "the bottom of the saw beside it";
    EXPECT_TRUE(drawnAt(500, 9));
    EXPECT_FALSE(drawnAt(500, 50)) << "nothing where the line never was";
}

TEST_F(TrendWindowTest, SavesThePlotAsPngOrSaysWhyNot)
{
    check(0);
    tick({5});
    struct Case {
        QString path;
        bool saved;
    };
    const Case cases[] = {{dir.filePath("plot.png"), true}, {dir.filePath("missing/plot.png"), false}};
    for (const Case& c : cases) {
        prompts.errors.clear();
        prompts.fileToSave = c.path.toStdString();
        window->savePngButton()->click();
        SCOPED_TRACE(c.path.toStdString());
        ASSERT_FALSE(prompts.dialogs.empty());
        EXPECT_EQ(prompts.dialogs.back().defaultExt, "png");
        EXPECT_EQ(prompts.errors.size(), c.saved ? 0u : 1u);
        EXPECT_EQ(QImageReader(c.path).format(), c.saved ? QByteArray("png") : QByteArray());
    }
}

} // namespace
} // namespace telvar5::widgets_test
