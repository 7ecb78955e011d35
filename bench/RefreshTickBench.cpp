// The refresh tick through the monitor's core and the Linux backend, against
// the real virtual driver, beside the cost of 2050 plain system calls measured
// in the same run: the tick is a plain in-process call per request.
#include <benchmark/benchmark.h>
#include <chrono>
#include <sys/syscall.h>
#include <unistd.h>

#include "LoopbackMonitor.h"
#include "ReceivingMonitor.h"

namespace {

using namespace telvar5;

void BM_RefreshTickAllChannelsReceiving(benchmark::State& state)
{
    bench::ReceivingMonitor rig;
    std::size_t stored = 0;
    for (auto _ : state) {
        const TickResult tick = rig.monitor->refresh().Timer1Timer();
        stored += tick.storedCells.count();
    }
    benchmark::DoNotOptimize(stored);
    state.SetItemsProcessed(state.iterations() * 2050);
}
BENCHMARK(BM_RefreshTickAllChannelsReceiving)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly();

// All eight outputs cyclic at 100 kbit/s and all eight inputs receiving their
// loopback, 100 ms of module time between ticks (the shortest period): about
// 278 words arrive on every input per tick. Every stored word also goes into
// the capture ring and the label statistics.
void loopedBackTicks(benchmark::State& state, bool capture)
{
    bench::LoopbackMonitor rig;
    rig.monitor->analysis().setEnabled(capture);
    rig.tick(100'000);
    std::size_t stored = 0;
    for (auto _ : state) {
        const TickResult tick = rig.tick(100'000);
        stored += tick.storedCells.count();
    }
    if (stored < static_cast<std::size_t>(state.iterations()) * 256)
        state.SkipWithError("the displayed channel did not take a word in every cell");
    state.SetItemsProcessed(state.iterations() * 2050);
    state.counters["captured_per_tick"] = static_cast<double>(rig.monitor->analysis().ring().head()) /
                                          static_cast<double>(state.iterations() + 1);
}

void BM_RefreshTickAllOutputsLoopedBack(benchmark::State& state) { loopedBackTicks(state, true); }
BENCHMARK(BM_RefreshTickAllOutputsLoopedBack)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly();

// The same without the capture: the baseline of what the capture costs the tick.
void BM_RefreshTickLoopedBackWithoutCapture(benchmark::State& state) { loopedBackTicks(state, false); }
BENCHMARK(BM_RefreshTickLoopedBackWithoutCapture)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly();

// The cost of the capture on the tick, free of the drift of a shared machine:
// ticks with and without it alternate in one loop, each timed on its own.
void BM_RefreshTickCaptureCost(benchmark::State& state)
{
    bench::LoopbackMonitor rig;
    rig.tick(100'000);
    using Clock = std::chrono::steady_clock;
    Clock::duration with{}, without{};
    bool capture = false;
    for (auto _ : state) {
        rig.monitor->analysis().setEnabled(capture);
        rig.clock->advanceUs(100'000);
        const auto start = Clock::now();
        benchmark::DoNotOptimize(rig.monitor->refresh().Timer1Timer());
        const auto spent = Clock::now() - start;
        (capture ? with : without) += spent;
        state.SetIterationTime(std::chrono::duration<double>(spent).count());
        capture = !capture;
    }
    const auto us = [&state](Clock::duration d) {
        return std::chrono::duration<double, std::micro>(d).count() / static_cast<double>(state.iterations() / 2);
    };
    state.counters["with_us"] = us(with);
    state.counters["without_us"] = us(without);
    state.counters["capture_ratio"] = us(with) / us(without);
}
BENCHMARK(BM_RefreshTickCaptureCost)->UseManualTime()->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly();

// One request, through the DeviceBus into the virtual driver and back: a cell
// read on a receiving channel.
void BM_RequestRoundTrip(benchmark::State& state)
{
    bench::ReceivingMonitor rig;
    const DeviceHandle handle = rig.monitor->run().deviceHandle;
    ReadWordReply reply{};
    std::uint16_t cell = 0;
    for (auto _ : state) {
        sendRequest(*rig.bus, handle, ReqSIreadWord, readWordRecord(1, cell), reply);
        cell = static_cast<std::uint16_t>((cell + 1) & 0xFF);
        benchmark::DoNotOptimize(reply.data());
    }
}
BENCHMARK(BM_RequestRoundTrip)->Repetitions(5)->ReportAggregatesOnly();

// One plain system call: the floor of any request that would cross into the kernel.
void BM_Getppid(benchmark::State& state)
{
    long sum = 0;
    for (auto _ : state)
        sum += syscall(SYS_getppid);
    benchmark::DoNotOptimize(sum);
}
BENCHMARK(BM_Getppid)->Repetitions(5)->ReportAggregatesOnly();

// 2050 round trips into the kernel that do nothing: the floor of any path that
// would cross into the kernel once per request.
void BM_Getppid2050(benchmark::State& state)
{
    long sum = 0;
    for (auto _ : state) {
        for (int i = 0; i < 2050; ++i)
            sum += syscall(SYS_getppid);
    }
    benchmark::DoNotOptimize(sum);
    state.SetItemsProcessed(state.iterations() * 2050);
}
BENCHMARK(BM_Getppid2050)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly();

} // namespace
