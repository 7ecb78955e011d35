// "Воспроизведение" at its heaviest: a capture of 1 M entries (all 8 inputs,
// 32 labels each, every word changing every refresh tick, 100 ms ticks with the
// timer's jitter, about 7 minutes of traffic) replayed at speed 1 from input 1
// onto output 1 of the busiest virtual module, on a clock the benchmark moves
// one refresh period a tick. Counters: the resident memory above the idle
// program at its peak (sampled after the start and every tick), the worst and
// mean lateness of an applied change (the tick's time plus its own work, less
// the change's recorded time), and the replay's work per tick, in wall time
// and in this thread's CPU time; and the start, which reads the file through once.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <ctime>

#include "LoopbackMonitor.h"
#include "core/analysis/CaptureFile.h"
#include "formats/ReplacingFile.h"

namespace {

using namespace telvar5;
namespace fs = std::filesystem;

constexpr std::int64_t kPeriodUs = 100'000;
constexpr std::uint64_t kEntries = 1 << 20;
constexpr std::uint64_t kLabels = 32;
constexpr std::uint64_t kEntriesPerTick = 8 * kLabels;
constexpr std::uint64_t kRecordedTicks = kEntries / kEntriesPerTick;

// When recorded tick k read its words: the timer fires up to 20 ms late.
std::int64_t recordedUs(std::uint64_t k)
{
    return static_cast<std::int64_t>(k) * kPeriodUs + static_cast<std::int64_t>((k * 2654435761u >> 8) % 20'000);
}

CaptureEntry busyEntry(std::uint64_t n)
{
    const std::uint64_t k = n / kEntriesPerTick;
    const auto channel = static_cast<std::uint8_t>(1 + n / kLabels % 8);
    const auto label = static_cast<std::uint32_t>(n % kLabels * 8 + 1);
    const auto value = static_cast<std::uint32_t>((k * 7 + n % kLabels) & 0x7FFFFF) | 0x800000u;
    return {recordedUs(k), static_cast<std::uint32_t>(k), label | value << 8, channel, static_cast<std::uint8_t>(label)};
}

// CPU time of this thread, microseconds: a tick's own work, without the time
// other programs on a busy machine took the processor away.
double threadCpuUs()
{
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) * 1e6 + static_cast<double>(ts.tv_nsec) / 1e3;
}

// Resident memory, bytes; 0 where /proc is not there.
std::int64_t residentBytes()
{
    std::ifstream status("/proc/self/status");
    std::string key;
    while (status >> key) {
        if (key == "VmRSS:") {
            std::int64_t kb = 0;
            status >> kb;
            return kb * 1024;
        }
        status.ignore(1 << 20, '\n');
    }
    return 0;
}

void BM_ReplayMillionEntryCapture(benchmark::State& state)
{
    const fs::path capture = fs::temp_directory_path() / ("telvar5-bench-" + std::to_string(::getpid()) + "-replay.tlvcap");
    {
        CaptureHeader header;
        header.refreshPeriodMs = kPeriodUs / 1000;
        ReplacingFile out(capture);
        const CaptureHeaderBytes h = encodeCaptureHeader(header);
        out.write(std::span<const std::uint8_t>(h));
        for (std::uint64_t n = 0; n < kEntries; ++n) {
            const CaptureEntryBytes e = encodeCaptureEntry(busyEntry(n));
            out.write(std::span<const std::uint8_t>(e));
        }
        if (!out.commit()) {
            state.SkipWithError("the capture file cannot be written");
            return;
        }
    }
    constexpr std::uint64_t kChannelEntries = kEntries / 8;
    // Input 1's entry i: recorded tick i / kLabels.
    auto dueOffsetUs = [](std::uint64_t i) { return recordedUs(i / kLabels) - recordedUs(0); };

    double rssAboveIdleMB = 0, worstLateMs = 0, meanLateMs = 0, meanTickUs = 0, worstTickUs = 0, meanCpuUs = 0,
           worstCpuUs = 0, startMs = 0;
    std::uint64_t ticks = 0;
    for (auto _ : state) {
        bench::LoopbackMonitor module;
        CaptureReplay& replay = module.monitor->stimuli().replay();
        const std::int64_t idle = residentBytes();
        std::int64_t peak = idle;
        // The timer's phase against the recorded ticks is anyone's: here half a period.
        const std::int64_t startUs = module.clock->nowUs();
        const auto scanBegan = std::chrono::steady_clock::now();
        if (!replay.start({capture, 1, 1, 1.0, false}, startUs).empty()) {
            state.SkipWithError("the replay did not start");
            break;
        }
        startMs = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - scanBegan).count();
        module.clock->advanceUs(kPeriodUs / 2);
        peak = std::max(peak, residentBytes());
        double lateSumUs = 0, workSumUs = 0, cpuSumUs = 0;
        std::uint64_t applied = 0;
        ticks = 0;
        for (; !replay.progress().finished && ticks < kRecordedTicks + 10; module.clock->advanceUs(kPeriodUs)) {
            const std::int64_t nowUs = module.clock->nowUs();
            const double cpuBegan = threadCpuUs();
            const auto began = std::chrono::steady_clock::now();
            replay.tick(nowUs);
            const double workUs =
                std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - began).count();
            const double cpuUs = threadCpuUs() - cpuBegan;
            ++ticks;
            workSumUs += workUs;
            worstTickUs = std::max(worstTickUs, workUs);
            cpuSumUs += cpuUs;
            worstCpuUs = std::max(worstCpuUs, cpuUs);
            const std::uint64_t upTo = replay.progress().entriesApplied;
            const std::int64_t reachedUs = nowUs - startUs;
            if (upTo > applied) {
                if (dueOffsetUs(upTo - 1) > reachedUs) {
                    state.SkipWithError("a change went out before its time");
                    break;
                }
                for (std::uint64_t i = applied; i < upTo; i += kLabels) // every entry of a recorded tick is due together
                    lateSumUs += static_cast<double>(kLabels) * (static_cast<double>(reachedUs - dueOffsetUs(i)) + workUs);
                worstLateMs = std::max(worstLateMs, (static_cast<double>(reachedUs - dueOffsetUs(applied)) + workUs) / 1000);
            }
            if (upTo < kChannelEntries && dueOffsetUs(upTo) <= reachedUs) {
                state.SkipWithError("a change was left behind");
                break;
            }
            applied = upTo;
            peak = std::max(peak, residentBytes());
        }
        if (applied != kChannelEntries || !replay.progress().finished)
            state.SkipWithError("the replay did not apply every entry of input 1");
        rssAboveIdleMB = static_cast<double>(peak - idle) / (1024 * 1024);
        meanLateMs = lateSumUs / static_cast<double>(std::max<std::uint64_t>(applied, 1)) / 1000;
        meanTickUs = workSumUs / static_cast<double>(std::max<std::uint64_t>(ticks, 1));
        meanCpuUs = cpuSumUs / static_cast<double>(std::max<std::uint64_t>(ticks, 1));
        replay.stop();
    }
    state.counters["rss_above_idle_MB"] = rssAboveIdleMB;
    state.counters["late_worst_ms"] = worstLateMs;
    state.counters["late_mean_ms"] = meanLateMs;
    state.counters["tick_mean_us"] = meanTickUs;
    state.counters["tick_worst_us"] = worstTickUs;
    state.counters["tick_cpu_mean_us"] = meanCpuUs;
    state.counters["tick_cpu_worst_us"] = worstCpuUs;
    state.counters["ticks"] = static_cast<double>(ticks);
    state.counters["start_ms"] = startMs; // the start reads the whole file once for the labels
    std::error_code ec;
    fs::remove(capture, ec);
}
BENCHMARK(BM_ReplayMillionEntryCapture)->Iterations(1)->UseRealTime()->Unit(benchmark::kMillisecond);

} // namespace
