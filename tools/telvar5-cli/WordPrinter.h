#pragma once
// The lines `receive` prints, one per word the tick stored: text (aligned
// columns under a header), csv (the capture CSV's columns plus binary) or
// jsonl (one JSON object a line). Every form ends with the word's wall-clock
// time (ISO 8601, local time with its offset), after the older columns so that
// scripts reading them keep working. Each line is built whole before anyone
// writes it, so a reader of the pipe never sees half a line.
#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "core/analysis/CaptureEntry.h"
#include "core/analysis/LocalTimeText.h"
#include "formats/FormatTables.h"

namespace telvar5::cli {

enum class WordFormat { Text, Csv, Jsonl };

class WordPrinter {
public:
    // The decimal formats in force for the channel whose words are printed;
    // startUnixUs is the wall clock of time_us 0, written in `zone`.
    WordPrinter(WordFormat format, const LabelFormatTable& labelFormats, std::int64_t startUnixUs,
                UtcOffsetOf zone = systemUtcOffset);

    static std::optional<WordFormat> formatNamed(std::string_view name);

    // The header line ('\n' at its end), or nothing for jsonl.
    std::string header() const;
    std::string line(const CaptureEntry& entry) const;

private:
    std::string textLine(const CaptureEntry& entry, const std::string& value, const std::string& units,
                         const std::string& wallTime) const;
    std::string csvLine(const CaptureEntry& entry, const std::string& value, const std::string& units,
                        const std::string& wallTime) const;
    std::string jsonLine(const CaptureEntry& entry, const std::string& value, const std::string& units,
                         const std::string& wallTime) const;

    WordFormat format_;
    LabelFormatTable labelFormats_;
    std::array<std::string, 256> units_; // UTF-8, trailing blanks cut
    std::int64_t startUnixUs_;
    LocalTimeText wallTime_;
};

} // namespace telvar5::cli
