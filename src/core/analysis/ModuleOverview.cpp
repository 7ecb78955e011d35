#include "core/analysis/ModuleOverview.h"

#include <algorithm>
#include <cstdio>

#include "core/device/BitRates.h"
#include "core/input/ReceptionModeText.h"
#include "core/output/OutputModes.h"
#include "core/output/TransmitTime.h"

namespace telvar5 {

namespace {

std::string decimal(double value, int digits)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.*f", digits, value);
    return text;
}

std::string freqText(const std::array<std::string_view, kFreqCodeCount>& items, std::uint8_t code)
{
    return code < items.size() ? std::string(items[code]) : std::string("?");
}

} // namespace

ModuleOverview::Input ModuleOverview::input(const RunState& run, const LabelStatistics& statistics, std::size_t ch,
                                            std::int64_t nowUs)
{
    Input row;
    ch %= kChannels;
    const std::uint16_t mode = run.receptionMode[ch];
    row.texts[0] = receptionModeText(mode == kReceptionAddress || mode == kReceptionFile, mode);
    const auto codeByte = static_cast<std::size_t>(inputCodeByte(static_cast<int>(ch)));
    row.texts[1] = freqText(kInputFreqItems, run.freqCodes[codeByte]);
    double rate = 0.0;
    std::int64_t newestUs = -1;
    const auto labels = statistics.labelsInOrder(ch);
    for (const std::uint8_t label : labels) {
        const LabelStatistics::Figures f = statistics.figures(ch, label, nowUs);
        rate += f.wordsPerSecond;
        newestUs = std::max(newestUs, f.lastUs);
    }
    row.texts[2] = decimal(rate, 1);
    row.texts[3] = std::to_string(labels.size());
    if (newestUs >= 0) {
        const std::int64_t ageUs = std::max<std::int64_t>(0, nowUs - newestUs);
        row.texts[4] = decimal(static_cast<double>(ageUs) / 1e6, 1) + " с";
        row.stale = LabelStatistics::isStale(newestUs, nowUs);
    } else {
        row.texts[4] = "нет слов";
        row.stale = true;
    }
    return row;
}

ModuleOverview::OutputRow ModuleOverview::output(const RunState& run, const StimulusOutput& stimuli, std::size_t ch)
{
    OutputRow row;
    ch %= kChannels;
    // Only a cyclic output runs on: a single one is over within its transmission time, and the
    // run's mode of a channel never started reads as single too, so both show as stopped.
    row[0] = outputModeText(run.outputMode[ch] == kOutputCyclic, kOutputCyclic);
    const std::uint8_t code = run.freqCodes[static_cast<std::size_t>(outputCodeByte(static_cast<int>(ch)))];
    row[1] = freqText(kOutputFreqItems, code);
    row[2] = std::to_string(run.arraySize[ch]);
    // "737.3 мс (256 слов ПК)" as the output side writes it, without its leading blanks.
    row[3] = transmitTimeText(outputWordTimeUs(code), run.arraySize[ch]);
    row[3].erase(0, row[3].find_first_not_of(' '));
    switch (stimuli.owner(ch)) {
    case StimulusOwner::Generator: row[4] = "генератор"; break;
    case StimulusOwner::Replay: row[4] = "воспроизведение"; break;
    case StimulusOwner::None: row[4] = "пользователь"; break;
    }
    return row;
}

std::string ModuleOverview::module(const RunState& run, const ModuleHealth& health)
{
    std::string line = "модуль не выбран";
    if (run.deviceSerialNo != 0)
        line = "серийный № " + std::to_string(run.deviceSerialNo) + ", порядковый № " + std::to_string(run.deviceIndex);
    line += "; период обновления " + std::to_string(run.refreshPeriodMs) + " мс; ";
    line += health.state() == HealthState::Healthy ? std::string("модуль отвечает") : health.indicatorText();
    line += " (неудачных запросов " + std::to_string(health.failedRequests()) + ", неполных ответов " +
            std::to_string(health.shortReplies()) + ")";
    return line;
}

} // namespace telvar5
