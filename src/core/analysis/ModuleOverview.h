#pragma once
// "Обзор модуля": the whole module on one screen, from what the refresh cycle
// already read and the run state holds; it sends no request of its own. Each
// row is plain text, so the window shows it and tells only the rows that changed.
#include <array>
#include <cstdint>
#include <string>

#include "core/RunState.h"
#include "core/analysis/LabelStatistics.h"
#include "core/device/ModuleHealth.h"
#include "core/stimulus/StimulusOutput.h"

namespace telvar5 {

class ModuleOverview {
public:
    static constexpr int kInputColumns = 5;  // mode, bit rate, words/s over 10 s, labels, newest word's age
    static constexpr int kOutputColumns = 5; // mode, bit rate, array size, transmission time, who holds it

    using InputRow = std::array<std::string, kInputColumns>;
    using OutputRow = std::array<std::string, kOutputColumns>;

    struct Input {
        InputRow texts;
        bool stale = false; // no fresh word for LabelStatistics::kStaleUs (or none at all), as for a label
    };

    // Input channel index ch at capture time nowUs.
    static Input input(const RunState& run, const LabelStatistics& statistics, std::size_t ch, std::int64_t nowUs);
    static OutputRow output(const RunState& run, const StimulusOutput& stimuli, std::size_t ch);
    // The module in one line: serial and ordinal number, refresh period, health and its counts.
    static std::string module(const RunState& run, const ModuleHealth& health);
};

} // namespace telvar5
