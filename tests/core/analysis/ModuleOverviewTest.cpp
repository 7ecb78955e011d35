// "Обзор модуля" from what the run holds: each input's mode, bit rate, rate
// of fresh words, labels and the newest word's age (stale after 5 s), each
// output's mode, bit rate, array, time and holder, and the module's line.
#include <gtest/gtest.h>

#include "core/analysis/ModuleOverview.h"
#include "core/device/BitRates.h"
#include "core/input/InputFixture.h"

namespace telvar5 {
namespace {

class ModuleOverviewTest : public test::InitialisedMonitor {};

TEST_F(ModuleOverviewTest, EachChannelInOneRowFromWhatTheRunHolds)
{
    LabelStatistics stats;
    stats.reset(2, 0);
    for (std::int64_t ms : {0, 500, 1000})
        for (std::uint32_t label : {0203u, 0204u})
            stats.record(2, label, ms * 1000);
    run().receptionMode[2] = kReceptionAddress;
    run().freqCodes[static_cast<std::size_t>(inputCodeByte(2))] = 1;

    // The rate is the sum of the labels' rates (2.0 words/s each, as the statistics count them).
    const ModuleOverview::Input fresh = ModuleOverview::input(run(), stats, 2, 1'500'000);
    EXPECT_EQ(fresh.texts, (ModuleOverview::InputRow{"прием адресный", "48КГц+/-25%", "4.0", "2", "0.5 с"}));
    EXPECT_FALSE(fresh.stale);
    EXPECT_TRUE(ModuleOverview::input(run(), stats, 2, 6'100'000).stale) << "no word for more than 5 s";
    const ModuleOverview::Input silent = ModuleOverview::input(run(), stats, 3, 1'500'000);
    EXPECT_EQ(silent.texts, (ModuleOverview::InputRow{"прием остановлен", "12..14,5КГц", "0.0", "0", "нет слов"}));
    EXPECT_TRUE(silent.stale);

    run().outputMode[1] = kOutputCyclic;
    run().arraySize[1] = 4;
    run().freqCodes[static_cast<std::size_t>(outputCodeByte(1))] = 2;
    EXPECT_EQ(ModuleOverview::output(run(), monitor->stimuli().output(), 1),
              (ModuleOverview::OutputRow{"выдача циклическая", "100КГц+/-1%", "4", "1.4 мс (  4 слов ПК)",
                                         "пользователь"}));
    for (const std::uint16_t mode : {kOutputStopped, kOutputSingle}) { // single: over, or never started
        run().outputMode[1] = mode;
        EXPECT_EQ(ModuleOverview::output(run(), monitor->stimuli().output(), 1)[0], "выдача остановлена");
    }

    const std::string line = ModuleOverview::module(run(), monitor->health());
    EXPECT_EQ(line.rfind("серийный № ", 0), 0u) << line;
    EXPECT_NE(line.find("модуль отвечает (неудачных запросов 0, неполных ответов 0)"), std::string::npos) << line;
}

} // namespace
} // namespace telvar5
