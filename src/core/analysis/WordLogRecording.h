#pragma once
// A recording opened in the word log: any entry read on request through a
// small cache of neighbouring entries, never the whole file, so a file larger
// than memory scrolls at once and costs the same memory as a short one.
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/analysis/CaptureFile.h"

namespace telvar5 {

class WordLogRecording {
public:
    // Entries read together around the one asked for (fewer when a later
    // version's entries are longer: the cache never holds more than this many
    // entries of today's size, whatever a damaged header claims).
    static constexpr std::size_t kBlockEntries = 4096;
    static constexpr std::size_t kCacheBytes = kBlockEntries * kCaptureEntrySize;

    // Opens and judges the file as CaptureReader does: false, with problem()
    // saying why (Russian), when it is no capture this program reads. A file
    // whose last entry is cut short opens with its whole entries, and
    // problem() says what is wrong.
    bool open(const std::filesystem::path& file);
    const std::string& problem() const { return problem_; }
    const CaptureHeader& header() const { return header_; }
    std::uint64_t entryCount() const { return entries_; }

    // Entry `number` (below entryCount()). False when the file no longer
    // holds it (it shrank after opening): entryCount() and problem() then say where it ends.
    bool entry(std::uint64_t number, CaptureEntry& out);
    // Bytes the cache of neighbouring entries holds.
    std::size_t cacheBytes() const { return bytes_.size(); }

private:
    bool load(std::uint64_t block);

    std::ifstream in_;
    std::string problem_;
    CaptureHeader header_;
    std::size_t headerSize_ = 0;
    std::size_t entrySize_ = 0;
    std::size_t blockEntries_ = kBlockEntries;
    std::uint64_t entries_ = 0;
    std::vector<std::uint8_t> bytes_;
    std::uint64_t loadedBlock_ = 0;
    std::size_t loadedEntries_ = 0; // 0: no block loaded
};

} // namespace telvar5
