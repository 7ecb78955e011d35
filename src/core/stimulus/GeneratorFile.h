#pragma once
// The generator's rows in a small text file (".gen"), UTF-8, one row a line:
//
//   TELVAR5-GEN 1
//   # channel label(octal) "tag" ssm waveform arguments...
//   1 203 "ALT" 3 ramp 0 40000 60 repeat
//   1 206 "CAS" 3 sine 250 50 60 every 62.5
//
// The first line names the format and its version; blank lines and lines
// starting with '#' are comments. The tag is quoted so that it may hold
// blanks; a quote or backslash inside it is escaped with a backslash, a
// control character written as \xHH (two hex digits), so that every tag
// stays on its line. A row may end in "every MS", its transmit interval in
// milliseconds; a row without it is sent once per pass of the array, as
// files written before the column read.
#include <bitset>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/RunState.h"
#include "core/stimulus/GeneratorRow.h"
#include "formats/WriteProblem.h"

namespace telvar5 {

inline constexpr int kGeneratorFileVersion = 1;
// A channel holds at most 256 words, so the file holds at most that many rows a channel.
inline constexpr std::size_t kGeneratorRowsPerChannel = 256;
inline constexpr double kGeneratorMaxIntervalMs = 60000.0;
inline constexpr std::size_t kGeneratorMaxRows = kChannels * kGeneratorRowsPerChannel;

// A row that could not be read: its line and why.
struct GeneratorBadLine {
    int line = 0;       // from 1
    std::string reason; // for the user (Russian), lower case, without a full stop
    bool operator==(const GeneratorBadLine&) const = default;
};

struct GeneratorFileContents {
    std::vector<GeneratorRow> rows;          // every good row, in file order
    std::vector<int> rowLines;               // the line of each row in the file, from 1
    std::vector<GeneratorBadLine> badLines;  // rows that could not be read, in file order
    std::string problem;                     // empty when the file was read; else for the user (Russian)
};

// "строка 4: ...; строка 9: ..." with that separator: the first `shown` of
// them, then how many more.
std::string badLinesText(std::span<const GeneratorBadLine> badLines, std::string_view separator = "; ",
                         std::size_t shown = 10);

std::string generatorText(std::span<const GeneratorRow> rows);
// Rows of a channel in `laidOut` past its 256th are bad lines: its array
// could not hold them. Rows of other channels are read and checked, but
// never laid out, so their number does not matter.
GeneratorFileContents parseGeneratorText(std::string_view text,
                                         std::bitset<kChannels> laidOut = std::bitset<kChannels>().set());

// Refuses, with a reason, what is not a regular file (a pipe would block the
// open, a folder reads as nothing) before opening it.
GeneratorFileContents readGeneratorFile(const std::filesystem::path& file,
                                        std::bitset<kChannels> laidOut = std::bitset<kChannels>().set());
// Replaces the file whole or leaves it as it was; false when it could not be written.
bool writeGeneratorFile(const std::filesystem::path& file, std::span<const GeneratorRow> rows,
                        WriteProblem* problem = nullptr);

} // namespace telvar5
