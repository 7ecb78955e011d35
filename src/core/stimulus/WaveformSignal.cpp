#include "core/stimulus/WaveformSignal.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace telvar5 {

WaveformSignal::WaveformSignal(const Waveform& waveform)
    : waveform_(waveform), walkValue_((waveform.a + waveform.b) / 2.0), walkState_(waveform.seed)
{
}

double WaveformSignal::nextUnit()
{
    // splitmix64: the same walk from the same seed on every platform and library.
    std::uint64_t z = (walkState_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    z ^= z >> 31;
    return static_cast<double>(z >> 11) * (2.0 / 9007199254740992.0) - 1.0; // 53 bits into [-1, 1)
}

double WaveformSignal::valueAt(double t)
{
    const Waveform& w = waveform_;
    t = std::max(t, 0.0);
    switch (w.kind) {
    case WaveformKind::Constant:
        return w.a;
    case WaveformKind::Ramp:
        if (w.hold && t >= w.periodS)
            return w.b;
        return w.a + (w.b - w.a) * (std::fmod(t, w.periodS) / w.periodS);
    case WaveformKind::Sine:
        return w.a + w.b * std::sin(2.0 * std::numbers::pi * std::fmod(t, w.periodS) / w.periodS);
    case WaveformKind::Square:
        return std::fmod(t, w.periodS) < w.periodS / 2.0 ? w.a : w.b;
    case WaveformKind::Step:
        return t < w.periodS ? w.a : w.b;
    case WaveformKind::RandomWalk:
        if (t > walkTime_) {
            walkValue_ += nextUnit() * w.rate * (t - walkTime_);
            // Reflected at the limits, so the walk keeps moving instead of sticking to one.
            if (walkValue_ > w.b)
                walkValue_ = 2.0 * w.b - walkValue_;
            if (walkValue_ < w.a)
                walkValue_ = 2.0 * w.a - walkValue_;
            walkValue_ = std::clamp(walkValue_, w.a, w.b);
            walkTime_ = t;
        }
        return walkValue_;
    }
    return w.a;
}

} // namespace telvar5
