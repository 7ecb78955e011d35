#pragma once
// The generator's rows in a small text file (".gen"), UTF-8, one row a line:
//
//   TELVAR5-GEN 1
//   # channel label(octal) "tag" ssm waveform arguments...
//   1 203 "ALT" 3 ramp 0 40000 60 repeat
//
// The first line names the format and its version; blank lines and lines
// starting with '#' are comments. The tag is quoted so that it may hold
// blanks; a quote or backslash inside it is escaped with a backslash.
#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/stimulus/GeneratorRow.h"

namespace telvar5 {

inline constexpr int kGeneratorFileVersion = 1;
// A channel holds at most 256 words, so the file holds at most that many rows a channel.
inline constexpr std::size_t kGeneratorMaxRows = 8 * 256;

struct GeneratorFileContents {
    std::vector<GeneratorRow> rows; // every good row, in file order
    std::vector<int> badLines;      // line numbers (from 1) of rows that could not be read
    std::string problem;            // empty when the file was read; else for the user (Russian)
};

std::string generatorText(std::span<const GeneratorRow> rows);
GeneratorFileContents parseGeneratorText(std::string_view text);

GeneratorFileContents readGeneratorFile(const std::filesystem::path& file);
// Replaces the file whole or leaves it as it was; false when it could not be written.
bool writeGeneratorFile(const std::filesystem::path& file, std::span<const GeneratorRow> rows);

} // namespace telvar5
