#pragma once
// How one generated parameter moves with time. The meaning of a, b and
// periodS depends on the kind; every value is in the units of the format the
// parameter is encoded through.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace telvar5 {

enum class WaveformKind : std::uint8_t {
    Constant,   // a
    Ramp,       // a to b over periodS, then again from a (or, with hold, b stays)
    Sine,       // centre a, amplitude b, one cycle every periodS, starting at the centre rising
    Square,     // a for the first half of periodS, b for the second, over and over
    Step,       // a until periodS, then b for ever
    RandomWalk, // starts midway between a and b, moves at most `rate` a second, never leaves a..b
};

struct Waveform {
    WaveformKind kind = WaveformKind::Constant;
    double a = 0.0;
    double b = 0.0;
    double periodS = 1.0; // above 0 for every kind that has a period
    bool hold = false;    // Ramp only
    double rate = 0.0;    // RandomWalk only: the largest change a second
    std::uint64_t seed = 1; // RandomWalk only: the same seed gives the same walk
    bool operator==(const Waveform&) const = default;
};

// The words of the kinds as the generator file and the window write them:
// "const", "ramp", "sine", "square", "step", "walk".
std::string_view waveformKindName(WaveformKind kind);
std::optional<WaveformKind> waveformKindNamed(std::string_view name);

// The waveform's arguments after its kind, as the file holds them:
//   const A | ramp A B PERIOD repeat|hold | sine CENTRE AMPLITUDE PERIOD |
//   square A B PERIOD | step A B AT | walk LOW HIGH RATE SEED
std::string waveformText(const Waveform& waveform);
// The reverse; nothing when the text is not a waveform (unknown kind, missing
// or extra words, numbers not finite, a period not above 0, walk limits
// reversed or a negative rate).
std::optional<Waveform> parseWaveform(std::string_view text);
// The same, and when the text is not a waveform, why: for the user (Russian),
// lower case, without a full stop.
std::optional<Waveform> parseWaveform(std::string_view text, std::string& problem);

} // namespace telvar5
