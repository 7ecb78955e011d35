// Rebuilding the per-label formats of the displayed channel from full tables:
// 256 decimal formats and 256 parameter formats over four input channels,
// eight tags in nine naming a format anywhere in the table. The goal is 20 us.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <memory>
#include <string>

#include "formats/LabelFormats.h"

namespace {

using namespace telvar5;

constexpr int kChannels = 4;

std::unique_ptr<FormatTables> fullTables()
{
    auto tables = std::make_unique<FormatTables>();
    // Tags of varied length sharing prefixes, as a user's tables have: "ALT0", "ALT1", ... "SPEED255".
    const char* const stems[] = {"ALT", "SPEED", "ANG", "T"};
    const auto tag = [&](std::size_t i) { return stems[i % 4] + std::to_string(i); };
    for (std::size_t i = 0; i < kFormatTableSize; ++i) {
        DecimalFormat& f = tables->formatTable[i];
        f.setTag(tag(i));
        f.setMsbBit(28);
        f.setLsbBit(static_cast<std::uint8_t>(9 + i % 16));
        f.setMsbWeight(90.0f);
        f.setUnits("deg");
    }
    tables->formatCount = kFormatTableSize;
    for (std::size_t i = 0; i < kFormatTableSize; ++i) {
        ParamFormatEntry& p = tables->paramFormatTable[i];
        p.setLabel(static_cast<std::uint8_t>(i * 7)); // every label once
        p.setChannel(static_cast<std::uint8_t>(1 + i % kChannels));
        p.setFormatTag(i % 9 == 8 ? "MISSING" : tag(i * 37 % kFormatTableSize)); // spread over the table
    }
    tables->paramFormatCount = kFormatTableSize;
    return tables;
}

void BM_BuildLabelFormats(benchmark::State& state)
{
    const auto tables = fullTables();
    LabelFormatTable labels{};
    const auto channel = static_cast<std::uint16_t>(state.range(0));
    for (auto _ : state) {
        buildLabelFormats(labels, *tables, channel);
        benchmark::DoNotOptimize(labels.data());
        benchmark::ClobberMemory();
    }
    state.SetLabel("256 formats, 256 parameters over 4 channels");
}
BENCHMARK(BM_BuildLabelFormats)->Arg(1)->Arg(4)->Unit(benchmark::kMicrosecond);

} // namespace
