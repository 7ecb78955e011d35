// The stimuli's costs: encoding a value into a word, and the refresh tick with
// the parameter generator running on all eight outputs (32 rows each, every
// word changing every tick) beside the same tick without it.
#include <benchmark/benchmark.h>

#include <chrono>
#include <random>
#include <vector>

#include "ReceivingMonitor.h"
#include "formats/DecimalEncoder.h"
#include "vdrv/ManualClock.h"

namespace {

using namespace telvar5;

DecimalFormat format(std::uint8_t msb, std::uint8_t lsb, float weight, std::uint8_t bit29IsData = 0)
{
    DecimalFormat f;
    f.setTag("P");
    f.setBit29IsData(bit29IsData);
    f.setMsbBit(msb);
    f.setLsbBit(lsb);
    f.setMsbWeight(weight);
    f.setUnits("u");
    return f;
}

void encodeValues(benchmark::State& state, const DecimalFormat& f)
{
    const DecimalEncoder encoder(f);
    std::mt19937 rng(7);
    std::vector<double> values(4096);
    for (double& v : values)
        v = (static_cast<double>(rng()) / 4294967295.0 * 2.0 - 1.0) * encoder.maxMagnitude();
    std::size_t i = 0;
    std::uint32_t sum = 0;
    for (auto _ : state) {
        sum += encoder.encode(values[i], 0x600000C3u).word;
        i = (i + 1) & 4095;
    }
    benchmark::DoNotOptimize(sum);
    state.SetItemsProcessed(state.iterations());
}

// Altitude: 17 bits and the sign, 1 ft a step.
void BM_EncodeAltitude(benchmark::State& state) { encodeValues(state, format(28, 12, 65536.0f)); }
BENCHMARK(BM_EncodeAltitude)->Repetitions(5)->ReportAggregatesOnly();

// The widest field there is (bits 9..28) with a weight that is no power of two.
void BM_EncodeWidestField(benchmark::State& state) { encodeValues(state, format(28, 9, 90.0f)); }
BENCHMARK(BM_EncodeWidestField)->Repetitions(5)->ReportAggregatesOnly();

// Weights whose mantissa fills single precision, so no top bit's sum is exact:
// 0.1 over bits 9..29 (bit 29 as data), and pi over bits 9..28.
void BM_EncodeWeightTenth(benchmark::State& state) { encodeValues(state, format(29, 9, 0.1f, 1)); }
BENCHMARK(BM_EncodeWeightTenth)->Repetitions(5)->ReportAggregatesOnly();

void BM_EncodeWeightPi(benchmark::State& state) { encodeValues(state, format(28, 9, 3.14159265f)); }
BENCHMARK(BM_EncodeWeightPi)->Repetitions(5)->ReportAggregatesOnly();

class ManualMonitorClock final : public MonotonicClock {
public:
    explicit ManualMonitorClock(const vdrv::ManualClock& clock) : clock_(clock) {}
    std::int64_t nowUs() const override { return clock_.nowUs(); }

private:
    const vdrv::ManualClock& clock_;
};

// All eight outputs transmit 32 words cyclically at 100 kbit/s onto their
// inputs, which receive; with `generator`, the 32 words are generator rows.
struct OutputsRig {
    std::shared_ptr<vdrv::ManualClock> clock = std::make_shared<vdrv::ManualClock>(1'000'000);
    ManualMonitorClock monitorClock{*clock};
    std::unique_ptr<VirtualDeviceBus> bus;
    bench::NoPrompts prompts;
    std::unique_ptr<Monitor> monitor;

    explicit OutputsRig(bool generator)
    {
        bus = std::make_unique<VirtualDeviceBus>(std::make_shared<vdrv::VirtualDriver>(
            vdrv::parseConfigText("interface 0 serial 1021 inputs 8 outputs 8\n", "/tmp"), clock));
        monitor = std::make_unique<Monitor>(*bus, prompts, monitorClock);
        DeviceChoice& choice = monitor->deviceChoice();
        choice.search();
        choice.Button1Click();
        choice.afterDialog();
        RunState& run = monitor->run();
        run.freqCodes.fill(2);
        run.formats.formatTable[0] = format(28, 12, 65536.0f);
        run.formats.formatTable[0].setTag("ALT");
        run.formats.formatCount = 1;
        monitor->lifecycle().DeviceInitializationExecute();
        std::vector<GeneratorRow> rows;
        for (int tab = kChannels - 1; tab >= 0; --tab) {
            monitor->reception().SIChange(tab);
            monitor->reception().SIaddressPuskExecute();
            for (int k = 0; k < 32; ++k) // a sine a second: every word changes at every tick
                rows.push_back({tab + 1, static_cast<std::uint8_t>(0200 + k), "ALT", 3,
                                {WaveformKind::Sine, 20000.0, 10000.0 + k, 1.0 + k * 0.01}});
            if (generator)
                continue;
            monitor->outputArrays().SOChange(tab);
            monitor->outputArrays().SOdataTestExecute();
            monitor->outputArrays().cbSOArrayDimChange(31);
            monitor->output().SOciclePuskExecute();
        }
        if (generator) {
            monitor->stimuli().generator().setRows(std::move(rows));
            if (!monitor->stimuli().generator().start(clock->nowUs()).empty())
                std::abort();
        }
    }
};

// Ticks of the two rigs alternate in one loop, each timed on its own, so the
// drift of a shared machine falls on both alike.
void BM_RefreshTickGeneratorCost(benchmark::State& state)
{
    OutputsRig with(true), without(false);
    using Clock = std::chrono::steady_clock;
    Clock::duration withTime{}, withoutTime{};
    bool generator = false;
    const std::uint64_t sentBefore = with.monitor->stimuli().output().wordsSent();
    for (auto _ : state) {
        OutputsRig& rig = generator ? with : without;
        rig.clock->advanceUs(100'000);
        const auto start = Clock::now();
        benchmark::DoNotOptimize(rig.monitor->refresh().Timer1Timer());
        const auto spent = Clock::now() - start;
        (generator ? withTime : withoutTime) += spent;
        state.SetIterationTime(std::chrono::duration<double>(spent).count());
        generator = !generator;
    }
    const double ticks = static_cast<double>(state.iterations() / 2);
    const auto us = [ticks](Clock::duration d) { return std::chrono::duration<double, std::micro>(d).count() / ticks; };
    state.counters["with_us"] = us(withTime);
    state.counters["without_us"] = us(withoutTime);
    state.counters["extra_us"] = us(withTime) - us(withoutTime);
    state.counters["ratio"] = us(withTime) / us(withoutTime);
    state.counters["words_sent_per_tick"] =
        static_cast<double>(with.monitor->stimuli().output().wordsSent() - sentBefore) / ticks;
}
BENCHMARK(BM_RefreshTickGeneratorCost)->UseManualTime()->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly();

} // namespace
