// Painting one visible page of the input buffer grid: 40 rows of 8 columns,
// with decimal formats on most labels. The goal is well under 1 ms per page.
#include <benchmark/benchmark.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <random>

#include "formats/DecimalText.h"
#include "formats/InputGridText.h"
#include "formats/WordText.h"

namespace {

using namespace telvar5;

constexpr int kVisibleRows = 40;

struct Page {
    std::array<std::uint32_t, 256> words{};
    std::array<std::uint32_t, 256> cycles{};
    LabelFormatTable formats{};

    Page()
    {
        std::mt19937 rng(17);
        for (std::size_t i = 0; i < words.size(); ++i) {
            words[i] = (rng() & 0xFFFFFF00u) | static_cast<std::uint32_t>(i); // address reception: cell = label
            cycles[i] = 100000 + static_cast<std::uint32_t>(i);
        }
        // Formats on every label but one in eight, with varied fields and weights.
        for (std::size_t label = 0; label < formats.size(); ++label) {
            if (label % 8 == 7)
                continue;
            DecimalFormat& f = formats[label];
            f.setTag("F");
            f.setBit29IsData(static_cast<std::uint8_t>(label % 2));
            f.setMsbBit(static_cast<std::uint8_t>(label % 2 ? 29 : 28));
            f.setLsbBit(static_cast<std::uint8_t>(9 + label % 10));
            f.setMsbWeight(label % 3 ? 90.0f : 16384.0f);
            f.setUnits(label % 4 ? "\xE3\xF0\xE0\xE4" : "V");
        }
    }
};

void BM_InputGridPage(benchmark::State& state)
{
    const Page page;
    CellText out;
    int top = 0;
    std::size_t chars = 0;
    for (auto _ : state) {
        for (int row = 0; row < kVisibleRows; ++row) {
            const int cell = (top + row) % 256;
            for (int col = 0; col < kInputGridColumns; ++col) {
                const auto text = inputGridCellText(col, cell, page.words[static_cast<std::size_t>(cell)],
                                                    page.cycles[static_cast<std::size_t>(cell)], page.formats, out);
                chars += text.size();
                benchmark::DoNotOptimize(text.data());
            }
        }
        top = (top + kVisibleRows) % 256;
    }
    benchmark::DoNotOptimize(chars);
    state.SetItemsProcessed(state.iterations() * kVisibleRows * kInputGridColumns);
    state.SetLabel("one iteration = one page of 320 cells");
}
BENCHMARK(BM_InputGridPage)->Unit(benchmark::kMicrosecond);

// Each text form on its own, over 256 varied words: one iteration renders all 256.
template <std::string_view (*Render)(std::uint32_t, CellText&)>
void BM_WordText(benchmark::State& state)
{
    const Page page;
    CellText out;
    for (auto _ : state) {
        for (std::uint32_t word : page.words)
            benchmark::DoNotOptimize(Render(word, out).data());
    }
    state.SetItemsProcessed(state.iterations() * 256);
}
BENCHMARK(BM_WordText<inputAddressText>)->Name("BM_AddressText")->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_WordText<inputCodeHexText>)->Name("BM_CodeHexText")->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_WordText<codeOctalText>)->Name("BM_CodeOctalText")->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_WordText<codeBinaryText>)->Name("BM_CodeBinaryText")->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_WordText<ssmText>)->Name("BM_SsmText")->Unit(benchmark::kMicrosecond);

void BM_DecimalText(benchmark::State& state)
{
    const Page page;
    CellText out;
    for (auto _ : state) {
        for (std::uint32_t word : page.words)
            benchmark::DoNotOptimize(decimalText(word, page.formats, out).data());
    }
    state.SetItemsProcessed(state.iterations() * 256);
}
BENCHMARK(BM_DecimalText)->Unit(benchmark::kMicrosecond);

// Baseline for the text forms: the C library's "%08x" of the same 256 words.
void BM_PlainSnprintf(benchmark::State& state)
{
    const Page page;
    char text[16];
    for (auto _ : state) {
        for (std::uint32_t word : page.words) {
            std::snprintf(text, sizeof text, "%08x", word);
            benchmark::DoNotOptimize(text);
        }
    }
    state.SetItemsProcessed(state.iterations() * 256);
}
BENCHMARK(BM_PlainSnprintf)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
