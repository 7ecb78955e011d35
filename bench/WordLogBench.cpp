// The sequential log ("Поток слов") at its heaviest. A recording of 10 M
// entries (about 200 MB, written once to the temporary folder): a jump to a
// random row with the texts of the 60 rows a window shows, with every word and
// with one label in 16; opening it up to its first 60 rows; the whole
// background scan. And live: the UI thread's cost of one tick of 8 inputs x
// 256 words taken from the capture ring into a full log, with the 60 rows shown.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <random>

#include "core/analysis/CaptureFile.h"
#include "core/analysis/CaptureRing.h"
#include "core/analysis/WordLog.h"
#include "core/analysis/WordLogFileView.h"
#include "core/analysis/WordLogRowText.h"
#include "formats/ReplacingFile.h"

namespace {

using namespace telvar5;
namespace fs = std::filesystem;

constexpr std::uint64_t kRecordingEntries = 10'000'000;
constexpr std::uint64_t kShownRows = 60;
constexpr std::uint64_t kScanSlice = 1 << 16; // what the window scans on one timer tick

// Entry n of a module receiving on all 8 inputs: channels in turn, 32 labels
// each (001, 011, ... 371), 45 µs apart.
CaptureEntry busyEntry(std::uint64_t n)
{
    const auto label = static_cast<std::uint32_t>(n / 8 % 32 * 8 + 1);
    return {static_cast<std::int64_t>(n * 45), static_cast<std::uint32_t>(n / 1111),
            (static_cast<std::uint32_t>(n * 0x9E3779B1u) & 0xFFFFFF00u) | label, static_cast<std::uint8_t>(1 + n % 8),
            static_cast<std::uint8_t>(label)};
}

// Every label of busyEntry on every channel has a format, so every row has a value.
std::unique_ptr<FormatTables> busyFormats()
{
    auto tables = std::make_unique<FormatTables>();
    DecimalFormat& f = tables->formatTable[0];
    f.setTag("P");
    f.setBit29IsData(0);
    f.setMsbBit(28);
    f.setLsbBit(11);
    f.setMsbWeight(1024.0f);
    f.setUnits("\xEC/\xF1"); // "м/с"
    tables->formatCount = 1;
    for (std::size_t ch = 0; ch < 8; ++ch) {
        for (std::size_t i = 0; i < 32; ++i) {
            ParamFormatEntry& p = tables->paramFormatTable[ch * 32 + i];
            p.setLabel(static_cast<std::uint8_t>(i * 8 + 1));
            p.setChannel(static_cast<std::uint8_t>(ch + 1));
            p.setFormatTag("P");
        }
    }
    tables->paramFormatCount = 256;
    return tables;
}

// Benchmark argument 0: every word; 1: one label in 16 (001 and 201).
WordLogFilter filterOf(std::int64_t arg)
{
    WordLogFilter filter;
    if (arg == 1)
        filter.setLabels("001 201");
    return filter;
}

// The 10 M-entry recording, written on first use and removed when the run ends.
class BigRecording {
public:
    static const BigRecording& get()
    {
        static const BigRecording recording;
        return recording;
    }
    const fs::path& path() const { return path_; }
    bool ok() const { return ok_; }

    ~BigRecording()
    {
        std::error_code ec;
        fs::remove(path_, ec);
    }

private:
    BigRecording() : path_(fs::temp_directory_path() / ("telvar5-bench-" + std::to_string(::getpid()) + "-log.tlvcap"))
    {
        ReplacingFile out(path_);
        CaptureHeader header;
        header.startUnixUs = 1796727785000000;
        const CaptureHeaderBytes h = encodeCaptureHeader(header);
        out.write(std::span<const std::uint8_t>(h));
        for (std::uint64_t n = 0; n < kRecordingEntries; ++n) {
            const CaptureEntryBytes e = encodeCaptureEntry(busyEntry(n));
            out.write(std::span<const std::uint8_t>(e));
        }
        ok_ = out.commit();
    }

    fs::path path_;
    bool ok_ = false;
};

bool openScanned(WordLogFileView& view, std::int64_t filterArg, benchmark::State& state)
{
    const BigRecording& recording = BigRecording::get();
    view.setFilter(filterOf(filterArg));
    if (!recording.ok() || !view.open(recording.path())) {
        state.SkipWithError("the recording cannot be written or opened");
        return false;
    }
    while (!view.scanComplete())
        view.advance(kScanSlice);
    return true;
}

// Reads rows [first, first + kShownRows) with their texts as the window paints them.
bool showRows(WordLogRows& rows, std::uint64_t first, const WordLogRowText& text)
{
    WordLogEntry e{};
    for (std::uint64_t r = first; r < first + kShownRows && r < rows.rowCount(); ++r) {
        if (!rows.row(r, e))
            return false;
        WordLogRow shown = text.row(e);
        benchmark::DoNotOptimize(shown);
    }
    return true;
}

void BM_WordLogFileJump(benchmark::State& state)
{
    WordLogFileView view;
    if (!openScanned(view, state.range(0), state))
        return;
    const auto formats = busyFormats();
    const WordLogRowText text(*formats, view.startUnixUs());
    std::mt19937_64 random(29);
    for (auto _ : state) {
        const std::uint64_t first = random() % (view.rowCount() - kShownRows);
        if (!showRows(view, first, text))
            state.SkipWithError("a row cannot be read");
    }
    state.counters["rows"] = static_cast<double>(view.rowCount());
}
BENCHMARK(BM_WordLogFileJump)->Arg(0)->Arg(1)->UseRealTime()->Unit(benchmark::kMillisecond);

void BM_WordLogFileOpen(benchmark::State& state)
{
    const BigRecording& recording = BigRecording::get();
    const auto formats = busyFormats();
    for (auto _ : state) {
        WordLogFileView view;
        if (!recording.ok() || !view.open(recording.path())
            || !showRows(view, 0, WordLogRowText(*formats, view.startUnixUs())))
            state.SkipWithError("the recording cannot be opened");
    }
}
BENCHMARK(BM_WordLogFileOpen)->UseRealTime()->Unit(benchmark::kMillisecond);

void BM_WordLogFileScan(benchmark::State& state)
{
    for (auto _ : state) {
        WordLogFileView view;
        openScanned(view, state.range(0), state);
    }
}
BENCHMARK(BM_WordLogFileScan)->Arg(0)->Arg(1)->Iterations(3)->UseRealTime()->Unit(benchmark::kMillisecond);

void BM_WordLogLiveTick(benchmark::State& state)
{
    constexpr std::uint64_t kTickEntries = 8 * 256;
    CaptureRing ring;
    WordLog log;
    const auto formats = busyFormats();
    const WordLogRowText text(*formats, 0);
    std::uint64_t pushed = 0;
    const auto tick = [&] {
        for (const std::uint64_t end = pushed + kTickEntries; pushed < end; ++pushed)
            ring.push(busyEntry(pushed));
        ring.publish();
    };
    // A full log: each tick's words push as many old ones out of the front.
    while (log.entryCount() < log.capacity()) {
        tick();
        log.follow(ring);
    }
    for (auto _ : state) {
        state.PauseTiming(); // the refresh cycle's own work, on its own thread
        tick();
        state.ResumeTiming();
        log.follow(ring);
        if (!showRows(log, log.rowCount() - kShownRows, text))
            state.SkipWithError("a row cannot be read");
    }
    state.counters["lost"] = static_cast<double>(log.lost());
}
BENCHMARK(BM_WordLogLiveTick)->UseRealTime()->Unit(benchmark::kMicrosecond);

} // namespace
