#pragma once
// The parameter generator: rows of labels whose values follow waveforms. A
// start lays each channel's rows into its array (each label as often as its
// interval asks, one word per label in row order when no row asks for one)
// and starts its cyclic output; every refresh tick then computes each
// row's value, encodes it through the row's decimal format and sends the
// words that changed.
#include <array>
#include <bitset>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "core/RunState.h"
#include "core/stimulus/GeneratorRow.h"
#include "core/stimulus/StimulusOutput.h"
#include "core/stimulus/WaveformSignal.h"
#include "formats/DecimalEncoder.h"

namespace telvar5 {

// What one row did at the last tick, for the window.
struct GeneratorRowState {
    double value = 0.0;      // the waveform's value
    std::uint32_t word = 0;  // the word it became
    ValueFit fit = ValueFit::InRange;
    double intervalMs = 0.0; // the interval the start achieved: the pass divided by the label's words in it
};

class ParameterGenerator {
public:
    ParameterGenerator(const RunState& run, StimulusOutput& output);

    // The rows are edited only while the generator is stopped.
    const std::vector<GeneratorRow>& rows() const { return rows_; }
    // rowNumbers: how start()'s reasons name the rows, one number each (the
    // lines of the file they came from); none: 1, 2... as the window's rows.
    void setRows(std::vector<GeneratorRow> rows, std::vector<int> rowNumbers = {});

    // Checks the rows against the module and the decimal formats in force,
    // lays out and starts every channel the rows name, and computes the values
    // at time 0. Returns an empty text when it started, else why not (Russian,
    // naming the row); nothing is sent then.
    std::string start(std::int64_t nowUs);
    // Stops the generator's channels and frees them.
    void stop();
    bool running() const { return running_; }
    // Channels (bit k: index k) the rows name, valid or not.
    std::bitset<kChannels> channelsNamed() const;
    // Channels (bit k: index k) the generator holds while running.
    std::bitset<kChannels> channels() const { return channels_; }

    // One refresh tick: returns the channels whose words changed. A channel
    // whose output was stopped by other means leaves the generator; when none
    // is left the generator stops.
    std::bitset<kChannels> tick(std::int64_t nowUs);

    // Index-aligned with rows(); meaningful while running and after a stop.
    std::span<const GeneratorRowState> rowStates() const { return states_; }

private:
    // A row as it runs: where its word lies and how its value is made.
    struct LiveRow {
        std::size_t row;   // index into rows_ and states_
        std::size_t ch;    // output channel index
        std::vector<std::uint16_t> indices; // the label's words in the channel's array
        std::uint32_t base;  // label and SSM
        DecimalEncoder encoder;
        WaveformSignal signal;
    };
    // The rows made ready to run, or why they cannot.
    std::string prepare(std::vector<LiveRow>& live) const;
    // Each channel's array laid out by the rows' intervals, the rows' word
    // indices and achieved intervals filled in; or why it cannot be.
    std::string layOut(std::vector<LiveRow>& live, std::array<std::vector<std::uint32_t>, kChannels>& words);
    // The row of that index as the reasons name it, and "Строка N: ".
    int rowNumber(std::size_t row) const;
    std::string rowText(std::size_t row) const;
    void update(LiveRow& live, double tSeconds);

    const RunState& run_;
    StimulusOutput& output_;
    std::vector<GeneratorRow> rows_;
    std::vector<int> rowNumbers_; // empty, or one per row
    std::vector<LiveRow> live_;
    std::vector<GeneratorRowState> states_;
    std::bitset<kChannels> channels_;
    std::int64_t startUs_ = 0;
    bool running_ = false;
};

} // namespace telvar5
