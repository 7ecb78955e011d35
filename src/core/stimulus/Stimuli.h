#pragma once
// The stimuli the module's outputs can carry besides the arrays typed by
// hand: the parameter generator and the replay of a capture. The refresh
// cycle ticks them at the start of every tick, before it reads the inputs.
#include <bitset>
#include <cstdint>

#include "core/stimulus/CaptureReplay.h"
#include "core/stimulus/ParameterGenerator.h"
#include "core/stimulus/StimulusOutput.h"

namespace telvar5 {

class Stimuli {
public:
    Stimuli(RunState& run, OutputArrays& arrays, OutputControl& control);
    Stimuli(const Stimuli&) = delete;
    Stimuli& operator=(const Stimuli&) = delete;

    StimulusOutput& output() { return output_; }
    ParameterGenerator& generator() { return generator_; }
    CaptureReplay& replay() { return replay_; }

    // Returns the output channels (bit k: index k) whose words changed.
    std::bitset<kChannels> tick(std::int64_t nowUs);

private:
    StimulusOutput output_;
    ParameterGenerator generator_;
    CaptureReplay replay_;
};

} // namespace telvar5
