// The trend window's plot update, offscreen: four checked pairs with 3000
// points each in the shown five minutes (a word of each every 100 ms), one
// new word of each per tick. BM_TrendPlotUpdate: the tick's work in the
// window (new points into the graphs, axes); BM_TrendPlotUpdateAndRender:
// the same, the plot redrawn and painted into an image. Between ticks that
// move no axis only the lines are drawn again, into a layer of their own.
// Argument 0: the window at its default size (900x520), many points to a
// pixel; 1: a window so wide that each point has a pixel of its own.
// Counter `points`: the points the four graphs hold.
#include <QApplication>
#include <QImage>
#include <benchmark/benchmark.h>
#include <cmath>
#include <memory>

#include "../tests/support/FakeBus.h"
#include "BenchClock.h"
#include "ReceivingMonitor.h"
#include "gui/analysis/TFrmTrend.h"
#include "gui/analysis/TrendPlotLine.h"
#include "gui/analysis/TrendPlotView.h"

namespace {

using namespace telvar5;

using bench::BenchClock;

constexpr int kPairs = 4;
constexpr int kPointsShown = 3000;
constexpr std::int64_t kWordPeriodUs = 100'000;

// Sign at bit 29, data bits 28..13 from 64 down: a value with fractions, up to 128 either way.
std::uint32_t wordOf(double value, int label)
{
    const auto field = static_cast<std::uint32_t>(static_cast<std::int32_t>(std::lround(value * 512.0))) << 12;
    return (value < 0 ? 0x10000000u : 0u) | (field & 0x0FFFF000u) | static_cast<std::uint32_t>(label);
}

struct TrendRig {
    BenchClock clock;
    test::FakeBus bus;
    bench::NoPrompts prompts;
    std::unique_ptr<Monitor> monitor;
    std::unique_ptr<TFrmTrend> window;
    std::uint32_t tick = 0;

    explicit TrendRig(int width)
    {
        monitor = std::make_unique<Monitor>(bus, prompts, clock);
        FormatTables& f = monitor->run().formats;
        f = FormatTables{}; // whatever formats settings file the current directory holds
        f.formatTable[0].setTag("SINE");
        f.formatTable[0].setUnits("deg");
        f.formatTable[0].setMsbBit(28);
        f.formatTable[0].setLsbBit(13);
        f.formatTable[0].setMsbWeight(64.0f);
        f.formatCount = 1;
        for (int k = 0; k < kPairs; ++k) {
            f.paramFormatTable[static_cast<std::size_t>(k)].setChannel(1);
            f.paramFormatTable[static_cast<std::size_t>(k)].setLabel(static_cast<std::uint8_t>(0201 + k));
            f.paramFormatTable[static_cast<std::size_t>(k)].setFormatTag("SINE");
        }
        f.paramFormatCount = kPairs;
        monitor->analysis().startClock(clock.now);
        for (int i = 0; i < kPointsShown; ++i)
            store();

        window = std::make_unique<TFrmTrend>(*monitor);
        window->resize(width, 520);
        window->show();
        QApplication::processEvents();
        for (int k = 0; k < kPairs; ++k)
            window->candidateList()->item(k)->setCheckState(Qt::Checked);
        QApplication::processEvents();
    }

    // One refresh tick's words: one of each pair, 100 ms after the last.
    void store()
    {
        clock.now += kWordPeriodUs;
        ++tick;
        for (int k = 0; k < kPairs; ++k) {
            const double value = 100.0 * std::sin(tick * 0.01 + k) + 10.0 * std::sin(tick * 0.37 * (k + 1));
            monitor->analysis().wordStored(0, static_cast<std::size_t>(0201 + k), wordOf(value, 0201 + k), tick,
                                           clock.now);
        }
        monitor->analysis().tickDone();
    }

    double pointsShown() const
    {
        double n = 0;
        for (int k = 0; k < kPairs; ++k)
            n += window->line(1, 0201 + k)->graph()->dataCount();
        return n;
    }

    // The redraw the tick queued, and the paint of the plot into `image`.
    void render(QImage& image)
    {
        QCoreApplication::sendPostedEvents(window->plot(), QEvent::MetaCall);
        window->plot()->render(&image);
    }
};

int widthOf(const benchmark::State& state) { return state.range(0) == 0 ? 900 : 3200; }

void BM_TrendPlotUpdate(benchmark::State& state)
{
    TrendRig rig(widthOf(state));
    for (auto _ : state) {
        rig.store();
        rig.window->afterTick();
    }
    state.counters["points"] = rig.pointsShown();
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_TrendPlotUpdate)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly();

void BM_TrendPlotUpdateAndRender(benchmark::State& state)
{
    TrendRig rig(widthOf(state));
    QImage image(rig.window->plot()->size(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        rig.store();
        rig.window->afterTick();
        rig.render(image);
    }
    state.counters["points"] = rig.pointsShown();
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_TrendPlotUpdateAndRender)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly();

} // namespace
