#pragma once
// A capture file read entry by entry through a small buffer, never whole: a
// replay of hours of traffic costs the same memory as one of a second.
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/analysis/CaptureFile.h"

namespace telvar5 {

class CaptureReader {
public:
    // Opens the file and judges its header as readCaptureFile does. False,
    // with problem() saying why (Russian), when it cannot be opened or is not
    // a capture this program reads. An empty recording opens with no entries;
    // a file whose last entry is cut short opens, its whole entries are read,
    // and problem() says so.
    bool open(const std::filesystem::path& file);
    const std::string& problem() const { return problem_; }
    const CaptureHeader& header() const { return header_; }
    std::uint64_t entryCount() const { return entries_; }

    // The next entry in file order; false after the last one (or when the
    // file shrank while it was read: problem() then says where it ends).
    bool next(CaptureEntry& entry);
    // Back to the first entry.
    void rewind();
    // Lets go of the file (Windows keeps an open file from being removed or replaced).
    void close();

private:
    bool refill();

    std::ifstream in_;
    std::string problem_;
    CaptureHeader header_;
    std::size_t headerSize_ = 0;
    std::size_t entrySize_ = 0;
    std::uint64_t entries_ = 0;
    std::uint64_t delivered_ = 0;
    std::vector<std::uint8_t> buffer_;
    std::size_t bufferEntries_ = 0;
    std::size_t bufferPos_ = 0;
};

} // namespace telvar5
