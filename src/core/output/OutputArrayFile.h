#pragma once
// Output array files (".so"): a little-endian u16 word count n, then n u32
// words in index order; nothing else. The file does not record its channel.
#include <array>
#include <cstdint>
#include <filesystem>

#include "formats/WriteProblem.h"
#include "protocol/Requests.h"

namespace telvar5 {

using OutputWords = std::array<std::uint32_t, kOutputWords>;

enum class ArrayRestore : std::uint8_t {
    Restored,   // size and words taken from the file
    CannotOpen, // missing, unreadable or not a regular file (see openInputFile): nothing changed
    NoWords,    // shorter than its count field, or a count of 0: nothing changed
};

// Reads a file into words and size. A count above 256 is taken as 256; words
// the file lacks (including a last word cut short) keep their values.
ArrayRestore restoreOutputArray(const std::filesystem::path& file, OutputWords& words,
                                std::uint16_t& size) noexcept;

// Writes size (1..256) and the first size words; an existing file is replaced
// only once the new one is complete, so a failed save leaves it intact.
bool saveOutputArray(const std::filesystem::path& file, const OutputWords& words, std::uint16_t size,
                     WriteProblem* problem = nullptr) noexcept;

} // namespace telvar5
