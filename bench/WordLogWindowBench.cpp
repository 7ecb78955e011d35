// "Поток слов" on the UI thread, offscreen: what one refresh tick of eight
// busy inputs (2048 words) adds to it with the window shown and following the
// end. The time is its new rows: taken from the ring, into the model, the
// grid scrolled to them. Counter paint_us: the repaint of the grid's visible
// rows that follows (once per tick while the window shows, whatever the
// number of new rows), with the offscreen platform's flush. The log fills up
// to its capacity as the benchmark runs, so later ticks also drop rows from
// the front, as a long run does.
#include <QApplication>
#include <QTableView>
#include <benchmark/benchmark.h>
#include <chrono>
#include <memory>

#include "../tests/support/FakeBus.h"
#include "BenchClock.h"
#include "ReceivingMonitor.h"
#include "gui/analysis/TFrmWordLog.h"

namespace {

using namespace telvar5;

using bench::BenchClock;

void BM_WordLogWindowTick(benchmark::State& state)
{
    BenchClock clock;
    test::FakeBus bus;
    bench::NoPrompts prompts;
    Monitor monitor(bus, prompts, clock);
    monitor.analysis().startClock(clock.now);
    TFrmWordLog window(monitor);
    window.resize(1000, 560);
    window.show();
    QApplication::processEvents();
    std::uint32_t tick = 0;
    double paintUs = 0;
    for (auto _ : state) {
        clock.now += 500'000;
        ++tick;
        for (std::size_t ch = 0; ch < 8; ++ch)
            for (std::uint32_t cell = 0; cell < 256; ++cell)
                monitor.analysis().wordStored(ch, cell, 0x60000000u | (tick << 8 & 0xFFF00u) << 2 | cell, tick,
                                              clock.now);
        monitor.analysis().tickDone();
        const auto t0 = std::chrono::steady_clock::now();
        window.afterTick();
        const auto t1 = std::chrono::steady_clock::now();
        window.grid()->viewport()->repaint();
        const auto t2 = std::chrono::steady_clock::now();
        state.SetIterationTime(std::chrono::duration<double>(t1 - t0).count());
        paintUs += std::chrono::duration<double, std::micro>(t2 - t1).count();
    }
    state.counters["rows"] = static_cast<double>(window.grid()->model()->rowCount());
    state.counters["paint_us"] = paintUs / static_cast<double>(state.iterations());
}
BENCHMARK(BM_WordLogWindowTick)->UseManualTime()->Unit(benchmark::kMicrosecond);

} // namespace
