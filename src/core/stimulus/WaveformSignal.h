#pragma once
// A waveform's value at a time. Every kind but the random walk is a function
// of time alone; the walk keeps its position and its generator, so it must be
// asked at times that do not go back.
#include <cstdint>

#include "core/stimulus/Waveform.h"

namespace telvar5 {

class WaveformSignal {
public:
    explicit WaveformSignal(const Waveform& waveform);

    // The value tSeconds after the start (t < 0 counts as 0).
    double valueAt(double tSeconds);

private:
    double nextUnit(); // uniform in [-1, 1], from the seed alone

    Waveform waveform_;
    double walkValue_ = 0.0;
    double walkTime_ = 0.0;
    std::uint64_t walkState_ = 0;
};

} // namespace telvar5
