#pragma once
// Turns the log's entries into the text of their rows: the decimal formats in
// force on every input channel give the value and its units, the capture's
// start gives the wall clock.
#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "core/analysis/LocalTimeText.h"
#include "core/analysis/WordLogEntry.h"
#include "core/analysis/WordLogRow.h"
#include "formats/FormatTables.h"

namespace telvar5 {

class WordLogRowText {
public:
    WordLogRowText(const FormatTables& formats, std::int64_t startUnixUs, UtcOffsetOf zone = systemUtcOffset);

    WordLogRow row(const WordLogEntry& e) const;
    // The value column alone ("" without a format): what a search for a value compares.
    std::string value(const CaptureEntry& e) const;

private:
    const DecimalFormat* format(const CaptureEntry& e) const;

    static constexpr std::size_t kChannels = 8;
    std::unique_ptr<std::array<LabelFormatTable, kChannels>> tables_;
    std::int64_t startUnixUs_;
    LocalTimeText time_;
};

} // namespace telvar5
