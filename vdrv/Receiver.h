#pragma once
// One input channel of the module: its reception mode and its 256-cell
// receive buffer. A cell holds the last word placed in it and whether that
// word is new since the cell was last read; a read takes the new word and
// answers 0 when there is none, so the program sees each arrival once.
#include <array>
#include <bitset>
#include <cstdint>

namespace telvar5::vdrv {

inline constexpr std::size_t kCells = 256;

class Receiver {
public:
    enum class Mode : std::uint8_t { Stopped, Address, File };

    // Starting reception (in either mode) clears the cells.
    void start(Mode mode);
    void stop() { mode_ = Mode::Stopped; }
    // Stops and forgets everything (module reset).
    void reset();

    Mode mode() const { return mode_; }
    bool receiving() const { return mode_ != Mode::Stopped; }

    // A word off the bus. Address reception: into the cell of its label
    // (bits 1..8). File reception: into the next cell in order, wrapping after 255.
    // A stopped receiver drops it.
    void receive(std::uint32_t word);
    // n words that arrived and were overwritten before any read could see them
    // (a long gap between requests): counted, and in file reception the next
    // cell moves on as if they had been placed.
    void skip(std::uint64_t n);

    // The new word of a cell, or 0 when nothing arrived in it since the last read.
    std::uint32_t readCell(std::uint16_t cell);

    // Every word the receiver took, placed or skipped. Exact for the module's
    // own outputs; of a traffic scenario, words older than its catch-up window
    // after a long gap between requests are not simulated, so not counted.
    std::uint64_t wordsReceived() const { return wordsReceived_; }
    std::uint32_t lastWord() const { return lastWord_; }

private:
    Mode mode_ = Mode::Stopped;
    std::array<std::uint32_t, kCells> cells_{};
    std::bitset<kCells> fresh_;
    std::uint8_t fileIndex_ = 0; // wraps at 256 by itself
    std::uint64_t wordsReceived_ = 0;
    std::uint32_t lastWord_ = 0;
};

} // namespace telvar5::vdrv
