// "Запись" and "Экспорт CSV" at their heaviest: the recorder following a module
// whose 8 inputs all receive at the highest rate (2778 words/s each), fed in
// 50 ms ticks for about 3 s of real time, with its lost entries and the CPU
// share of its writer thread; and the CSV export of a capture of 1 M entries
// whose every word has a format.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <thread>
#include <vector>

#include "core/analysis/CaptureCsv.h"
#include "core/analysis/CaptureFile.h"
#include "core/analysis/CaptureRecorder.h"
#include "formats/ReplacingFile.h"

namespace {

using namespace telvar5;
namespace fs = std::filesystem;

fs::path scratchPath(const char* name)
{
    return fs::temp_directory_path() / ("telvar5-bench-" + std::to_string(::getpid()) + "-" + name);
}

// Entry n of a module receiving on all 8 inputs: channels in turn, 32 labels each.
CaptureEntry busyEntry(std::uint64_t n)
{
    const auto label = static_cast<std::uint32_t>(n / 8 % 32 * 8 + 1);
    return {static_cast<std::int64_t>(n * 45), static_cast<std::uint32_t>(n / 1111),
            (static_cast<std::uint32_t>(n * 0x9E3779B1u) & 0xFFFFFF00u) | label, static_cast<std::uint8_t>(1 + n % 8),
            static_cast<std::uint8_t>(label)};
}

void BM_CaptureRecorderHighestRate(benchmark::State& state)
{
    constexpr std::uint64_t kEntriesPerSecond = 8 * 2778;
    constexpr int kTicksPerSecond = 20; // 50 ms ticks
    constexpr int kTicks = 3 * kTicksPerSecond;
    const fs::path file = scratchPath("capture.tlv");
    CaptureRing ring;
    CaptureRecorder recorder(ring);
    CaptureSummary summary;
    double cpuPercent = 0;
    for (auto _ : state) {
        fs::remove(file);
        std::uint64_t pushed = ring.head();
        const std::uint64_t first = pushed;
        if (!recorder.start(file, CaptureHeader{})) {
            state.SkipWithError("the capture file cannot be created");
            break;
        }
        const auto started = std::chrono::steady_clock::now();
        auto next = started;
        for (int tick = 1; tick <= kTicks; ++tick) {
            const std::uint64_t due = first + tick * kEntriesPerSecond / kTicksPerSecond;
            for (; pushed < due; ++pushed)
                ring.push(busyEntry(pushed));
            ring.publish();
            next += std::chrono::milliseconds(1000 / kTicksPerSecond);
            std::this_thread::sleep_until(next);
        }
        summary = recorder.stop();
        const double wallUs =
            std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - started).count();
        cpuPercent = 100.0 * static_cast<double>(recorder.writerCpuUs()) / wallUs;
        if (!summary.ok || summary.written + summary.lost != pushed - first)
            state.SkipWithError("the recording is incomplete");
    }
    state.counters["entries"] = static_cast<double>(summary.written);
    state.counters["lost"] = static_cast<double>(summary.lost);
    state.counters["writer_cpu_pct"] = cpuPercent;
    fs::remove(file);
}
BENCHMARK(BM_CaptureRecorderHighestRate)->Iterations(1)->UseRealTime()->Unit(benchmark::kMillisecond);

// 32 labels a channel, each with a format of its own: every word of busyEntry decodes.
std::unique_ptr<FormatTables> busyFormats()
{
    auto tables = std::make_unique<FormatTables>();
    for (std::size_t i = 0; i < 32; ++i) {
        DecimalFormat& f = tables->formatTable[i];
        f.setTag("P" + std::to_string(i));
        f.setBit29IsData(0);
        f.setMsbBit(28);
        f.setLsbBit(static_cast<std::uint8_t>(9 + i % 8));
        f.setMsbWeight(static_cast<float>(1u << (i % 16)));
        f.setUnits(i % 2 ? "\xEC/\xF1" : "\xF4\xF2"); // "м/с", "фт"
    }
    tables->formatCount = 32;
    for (std::size_t ch = 0; ch < 8; ++ch) {
        for (std::size_t i = 0; i < 32; ++i) {
            ParamFormatEntry& p = tables->paramFormatTable[ch * 32 + i];
            p.setLabel(static_cast<std::uint8_t>(i * 8 + 1));
            p.setChannel(static_cast<std::uint8_t>(ch + 1));
            p.setFormatTag("P" + std::to_string(i));
        }
    }
    tables->paramFormatCount = 256;
    return tables;
}

void BM_CaptureCsvExport(benchmark::State& state)
{
    constexpr std::uint64_t kEntries = 1 << 20;
    const fs::path capture = scratchPath("export.tlv");
    const fs::path csv = scratchPath("export.csv");
    {
        ReplacingFile out(capture);
        const CaptureHeaderBytes header = encodeCaptureHeader(CaptureHeader{});
        out.write(std::span<const std::uint8_t>(header));
        for (std::uint64_t n = 0; n < kEntries; ++n) {
            const CaptureEntryBytes e = encodeCaptureEntry(busyEntry(n));
            out.write(std::span<const std::uint8_t>(e));
        }
        if (!out.commit())
            state.SkipWithError("the capture file cannot be written");
    }
    const auto formats = busyFormats();
    CsvExportResult result;
    for (auto _ : state) {
        result = exportCaptureCsv(capture, csv, *formats);
        if (!result.written || result.entries != kEntries)
            state.SkipWithError("the export failed");
    }
    std::error_code ec;
    state.counters["csv_MB"] = static_cast<double>(fs::file_size(csv, ec)) / 1e6;
    fs::remove(capture, ec);
    fs::remove(csv, ec);
}
BENCHMARK(BM_CaptureCsvExport)->Iterations(3)->UseRealTime()->Unit(benchmark::kMillisecond);

} // namespace
