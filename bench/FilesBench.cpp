// The three file loaders with full files, and the two compactions with full
// tables half of whose records are incomplete, each beside the plain read of
// the same file (or the plain copy of the same table) as its baseline.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <vector>

#include "core/output/OutputArrayFile.h"
#include "formats/Compaction.h"
#include "formats/FormatSettingsFile.h"
#include "formats/ParamFormatsFile.h"

namespace {

using namespace telvar5;
namespace fs = std::filesystem;

fs::path scratchFile(const char* name, std::size_t bytes)
{
    const fs::path path = fs::temp_directory_path() / ("telvar5-bench-" + std::to_string(::getpid()) + "-" + name);
    std::vector<char> content(bytes);
    for (std::size_t i = 0; i < bytes; ++i)
        content[i] = static_cast<char>('A' + i % 26);
    std::ofstream(path, std::ios::binary).write(content.data(), static_cast<std::streamsize>(bytes));
    return path;
}

void BM_LoadFormatSettings(benchmark::State& state)
{
    const fs::path file = scratchFile("fmt.stt", 256 * DecimalFormat::kSize);
    auto tables = std::make_unique<FormatTables>();
    for (auto _ : state)
        benchmark::DoNotOptimize(loadFormatSettings(*tables, file));
    fs::remove(file);
}
BENCHMARK(BM_LoadFormatSettings)->Unit(benchmark::kMicrosecond);

void BM_LoadParamFormats(benchmark::State& state)
{
    const fs::path file = scratchFile("param.si", 256 * ParamFormatEntry::kSize);
    auto tables = std::make_unique<FormatTables>();
    for (auto _ : state)
        benchmark::DoNotOptimize(loadParamFormats(*tables, file));
    fs::remove(file);
}
BENCHMARK(BM_LoadParamFormats)->Unit(benchmark::kMicrosecond);

void BM_RestoreOutputArray(benchmark::State& state)
{
    const fs::path file = scratchFile("array.so", 2 + 4 * 256);
    OutputWords words{};
    std::uint16_t size = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(restoreOutputArray(file, words, size));
    fs::remove(file);
}
BENCHMARK(BM_RestoreOutputArray)->Unit(benchmark::kMicrosecond);

// Baseline: opening the same full settings file and reading it in one go.
void BM_PlainFileRead(benchmark::State& state)
{
    const fs::path file = scratchFile("plain", 256 * DecimalFormat::kSize);
    std::vector<char> buffer(256 * DecimalFormat::kSize);
    for (auto _ : state) {
        std::ifstream in(file, std::ios::binary);
        in.read(buffer.data(), static_cast<std::streamsize>(buffer.size()));
        benchmark::DoNotOptimize(buffer.data());
    }
    fs::remove(file);
}
BENCHMARK(BM_PlainFileRead)->Unit(benchmark::kMicrosecond);

std::unique_ptr<FormatTables> halfCompleteTables()
{
    auto tables = std::make_unique<FormatTables>();
    for (std::size_t i = 0; i < kFormatTableSize; ++i) {
        DecimalFormat& f = tables->formatTable[i];
        f.setTag("F" + std::to_string(i));
        f.setMsbBit(28);
        f.setLsbBit(11);
        f.setMsbWeight(i % 2 ? 90.0f : 0.0f); // every other one incomplete
        f.setUnits("deg");
        ParamFormatEntry& p = tables->paramFormatTable[i];
        p.setLabel(static_cast<std::uint8_t>(i));
        p.setChannel(static_cast<std::uint8_t>(i % 2));
        p.setFormatTag("F");
    }
    tables->formatCount = kFormatTableSize;
    tables->paramFormatCount = kFormatTableSize;
    return tables;
}

// The table is restored before each pass (outside the timing), so every pass compacts 256 records.
template <int (*Compact)(FormatTables&, int)>
void BM_Compaction(benchmark::State& state)
{
    const auto original = halfCompleteTables();
    auto tables = std::make_unique<FormatTables>();
    for (auto _ : state) {
        state.PauseTiming();
        *tables = *original;
        state.ResumeTiming();
        benchmark::DoNotOptimize(Compact(*tables, 256));
    }
}
BENCHMARK(BM_Compaction<compactFormats>)->Name("BM_CompactFormats")->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Compaction<compactParamFormats>)->Name("BM_CompactParamFormats")->Unit(benchmark::kMicrosecond);

// Baseline: copying both full tables once.
void BM_PlainTableCopy(benchmark::State& state)
{
    const auto original = halfCompleteTables();
    auto tables = std::make_unique<FormatTables>();
    for (auto _ : state) {
        std::memcpy(static_cast<void*>(tables.get()), original.get(), sizeof(FormatTables));
        benchmark::DoNotOptimize(tables.get());
    }
}
BENCHMARK(BM_PlainTableCopy)->Unit(benchmark::kMicrosecond);

} // namespace
