#pragma once
// Replay of a capture on an output channel. The array is laid out from the
// labels one input channel of the capture carried (in the order they first
// came, each with its first value), and its cyclic output started. Every
// refresh tick then applies the values recorded up to the replay's present
// and sends the words that changed: each value reaches the module within one
// refresh period of its recorded time. The spacing of single words is not
// kept: the module's cyclic array sets it. Where the recorded time jumps
// forward by more than a limit (a damaged file, a recording paused for
// days), the jump is cut to one capture refresh period.
#include <array>
#include <bitset>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "core/RunState.h"
#include "core/analysis/CaptureReader.h"
#include "core/stimulus/StimulusOutput.h"

namespace telvar5 {

struct ReplaySettings {
    std::filesystem::path capture;
    int fromChannel = 1; // the capture's input channel, 1..8
    int toChannel = 1;   // the module's output channel, 1..8
    double speed = 1.0;  // recorded time runs this much faster (0.01..100)
    bool loop = false;   // start again after the last entry, for ever
    // A forward jump of recorded time longer than this is cut to one capture refresh period; 0: none is.
    std::int64_t longestGapUs = 0;
};

struct ReplayProgress {
    std::uint64_t entriesApplied = 0; // entries of the channel taken so far, all laps
    std::uint64_t wordsSent = 0;      // of them, the changes sent to the module
    std::int64_t positionUs = 0;      // recorded time reached in the present lap, from the channel's first entry
    std::int64_t lengthUs = 0;        // recorded time from the channel's first entry to its last
    std::uint32_t lap = 0;            // laps finished
    bool finished = false;            // a replay without loop applied its last entry
    std::uint64_t gapsCut = 0;        // forward jumps beyond the longest gap in one lap
    std::int64_t cutUs = 0;           // recorded time they took out of one lap
};

class CaptureReplay {
public:
    CaptureReplay(const RunState& run, StimulusOutput& output);

    // The input channels (bit k: channel k + 1) a capture carries words of,
    // read through once. Empty, with `problem` set, when it cannot be read or
    // holds no word; `problem` also names the damage of a file cut inside its
    // last entry, whose whole entries are read and played.
    static std::bitset<kChannels> channelsIn(const std::filesystem::path& capture, std::string& problem);

    // Reads the capture through once for the channel's labels, lays out the
    // array and starts its cyclic output. Returns an empty text when it
    // started, else why not (Russian); nothing is sent then.
    std::string start(const ReplaySettings& settings, std::int64_t nowUs);
    // Stops the channel's output and frees it.
    void stop();
    // The replay holds its channel: from a start until stop() or until its
    // output is stopped by other means. A replay without loop that finished
    // still holds it, the last values transmitting.
    bool running() const { return running_; }

    // One refresh tick: returns the channels whose words changed (the replay's
    // channel or none). A channel whose output was stopped by other means ends
    // the replay and frees the channel.
    std::bitset<kChannels> tick(std::int64_t nowUs);

    const ReplayProgress& progress() const { return progress_; }
    // The labels laid out, in array order.
    const std::vector<std::uint8_t>& labels() const { return labels_; }
    const ReplaySettings& settings() const { return settings_; }

private:
    // Recorded time as the replay plays it, entry by entry in file order.
    struct Timeline {
        std::int64_t latestUs = 0; // the latest recorded time so far
        std::int64_t cutUs = 0;    // taken out by the jumps cut so far
        std::uint64_t gapsCut = 0;
        bool started = false;
    };

    std::string scan(); // labels, first time and length of the channel; a reason when it has none
    // The entry's time from the channel's first entry with the jumps beyond
    // the longest gap cut; the next entry's in file order each call.
    std::int64_t playedUs(std::int64_t timeUs, Timeline& timeline) const;
    // The next entry of the replayed channel; false at the end of the file.
    bool nextOfChannel(CaptureEntry& entry);
    // Recorded time the replay has reached at monotonic time nowUs.
    std::int64_t replayUs(std::int64_t nowUs) const;
    // The lap ended: starts the next one (skipping whole laps already past),
    // or finishes. False when nothing more is to be played.
    bool nextLap(std::int64_t reachedUs);
    std::size_t channelIndex() const { return static_cast<std::size_t>(settings_.toChannel - 1); }

    const RunState& run_;
    StimulusOutput& output_;
    ReplaySettings settings_;
    CaptureReader reader_;
    std::vector<std::uint8_t> labels_;
    std::array<std::int16_t, 256> indexOfLabel_{}; // -1: the label is not in the array
    std::array<std::uint32_t, 256> pending_{};     // each label's latest due value this tick
    std::bitset<256> touched_;                     // labels that took a value this tick
    CaptureEntry ahead_{};                         // read but not yet due
    std::int64_t aheadPlayedUs_ = 0;               // its time as played
    bool haveAhead_ = false;
    Timeline lapTimeline_;                         // of the entries read in the present lap
    std::int64_t firstUs_ = 0;     // the channel's first entry time
    std::int64_t lapOffsetUs_ = 0; // recorded time, from the start, at which the present lap's first entry is due
    std::int64_t lapGapUs_ = 0;    // from a lap's last entry to the next lap's first: one capture refresh period
    std::uint64_t lapEntries_ = 0; // the channel's entries in one lap
    std::uint64_t takenInLap_ = 0;
    std::int64_t startUs_ = 0;
    ReplayProgress progress_;
    bool running_ = false;
};

} // namespace telvar5
