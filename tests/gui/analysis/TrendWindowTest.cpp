#include <QChartView>
#include <algorithm>
#include <QImageReader>
#include <QLineSeries>
#include <QTest>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

#include "../WidgetFakes.h"
#include "../WorkingDirectory.h"
#include "core/Monitor.h"
#include "gui/analysis/TFrmTrend.h"
#include "gui/analysis/TrendPlotLine.h"

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
        EXPECT_GE(window->timeAxis()->max(), nowSeconds());
        EXPECT_LE(window->timeAxis()->max(), nowSeconds() + 3);
        EXPECT_DOUBLE_EQ(window->timeAxis()->max() - window->timeAxis()->min(), 300);
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
    EXPECT_EQ(window->line(2, 0310)->axis()->titleText(), QStringLiteral("IALT, фт"));
    const QList<QAbstractAxis*> axes = window->chartView()->chart()->axes(Qt::Vertical);
    EXPECT_EQ(axes.size(), 8);
    EXPECT_EQ(std::count_if(axes.begin(), axes.end(), [](QAbstractAxis* a) { return a->alignment() == Qt::AlignLeft; }),
              4);
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
    EXPECT_EQ(line->series()->points(), expected);
    expectFollowing();
    tick({0}, 10'000'000);
    expectFollowing();
    EXPECT_LE(line->axis()->min(), -128);
    EXPECT_GE(line->axis()->max(), 127);
}

TEST_F(TrendWindowTest, APauseOrAZoomStopsFollowingUntilReleased)
{
    const auto rubberBand = [this] {
        QWidget* viewport = window->chartView()->viewport();
        const QPoint centre = window->chartView()->chart()->plotArea().center().toPoint();
        QTest::mousePress(viewport, Qt::LeftButton, {}, centre - QPoint(100, 60));
        QTest::mouseMove(viewport, centre + QPoint(100, 60));
        QTest::mouseRelease(viewport, Qt::LeftButton, {}, centre + QPoint(100, 60));
        EXPECT_LT(window->timeAxis()->max() - window->timeAxis()->min(), 300);
    };
    struct Case {
        const char* name;
        std::function<void()> stop, resume;
    };
    const Case cases[] = {
        {"pause", [this] { window->pauseButton()->click(); }, [this] { window->pauseButton()->click(); }},
        {"zoom", rubberBand, [this] { window->resetZoomButton()->click(); }},
    };
    check(0);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        tick({1});
        c.stop();
        const double shownMax = window->timeAxis()->max();
        EXPECT_FALSE(window->following());
        tick({2}, 5'000'000);
        EXPECT_DOUBLE_EQ(window->timeAxis()->max(), shownMax);
        c.resume();
        expectFollowing();
    }
    EXPECT_EQ(window->line(1, 0203)->series()->count(), 4) << "the words that came meanwhile are drawn";
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
