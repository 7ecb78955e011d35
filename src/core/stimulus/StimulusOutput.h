#pragma once
// How the generator and the replay reach the module: only through what the
// main window itself sends. A start lays the array and sends the cyclic start
// (ReqSOciclePusk) as the window's cyclic start does; a changed word goes out
// with ReqSOwordUpdate as the bit editor's does. Each output channel is used
// by at most one of them at a time.
#include <bitset>
#include <cstdint>
#include <span>
#include <string>

#include "core/RunState.h"
#include "core/output/OutputArrays.h"
#include "core/output/OutputControl.h"

namespace telvar5 {

enum class StimulusOwner : std::uint8_t { None, Generator, Replay };

class StimulusOutput {
public:
    StimulusOutput(RunState& run, OutputArrays& arrays, OutputControl& control);

    // Channel index ch (0..7) is free for `owner`: nobody else holds it.
    bool freeFor(std::size_t ch, StimulusOwner owner) const;
    StimulusOwner owner(std::size_t ch) const { return owners_[ch % kChannels]; }
    // Frees every channel `owner` holds, or one channel.
    void release(StimulusOwner owner);
    void releaseChannel(std::size_t ch) { owners_[ch % kChannels] = StimulusOwner::None; }

    // Takes channel index ch for `owner`, lays `words` (1..256 of them) into
    // its array, sets its size and starts its cyclic output. The shown
    // channel stays shown. False when the module refused the start (the
    // channel is then not held).
    bool startCyclic(std::size_t ch, std::span<const std::uint32_t> words, StimulusOwner owner);
    // Stops channel index ch's output, as the stop command does.
    void stop(std::size_t ch);
    // The channel's cyclic output was started and has not been stopped since
    // (by a stop, an initialisation or a new choice of the module).
    bool transmitting(std::size_t ch) const { return run_.outputMode[ch % kChannels] == kOutputCyclic; }

    // Word `index` of channel index ch takes `word`. It goes to the module only
    // when it differs from the array's word and the channel transmits
    // cyclically; true when it was sent.
    bool setWord(std::size_t ch, std::uint16_t index, std::uint32_t word);
    std::uint64_t wordsSent() const { return wordsSent_; }

    // Channel index ch holds an array the user changed and did not save, other
    // than the words a stimulus laid there: a start would replace it, so the
    // window asks first.
    bool holdsUnsavedArray(std::size_t ch) const; // a cleared array holds nothing to lose
    // The question to ask before a start lays out `channels` (bit k: index k):
    // empty when none of them holds such an array.
    std::string replaceUnsavedQuestion(std::bitset<kChannels> channels) const;

private:
    RunState& run_;
    OutputArrays& arrays_;
    OutputControl& control_;
    std::array<StimulusOwner, kChannels> owners_{};
    // What a stimulus last left in each channel's array (size 0: nothing).
    std::array<std::array<std::uint32_t, kOutputWords>, kChannels> laidWords_{};
    std::array<std::uint16_t, kChannels> laidSize_{};
    std::uint64_t wordsSent_ = 0;
};

} // namespace telvar5
