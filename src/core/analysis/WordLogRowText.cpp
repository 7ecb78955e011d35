#include "core/analysis/WordLogRowText.h"

#include <cstdio>

#include "formats/ArincWord.h"
#include "formats/DecimalText.h"
#include "formats/LabelFormats.h"

namespace telvar5 {

namespace {

// A non-negative count of microseconds as units with three decimals: "12.345"
// of 12345 µs in milliseconds, of 12345678 µs in seconds (rounded).
std::string fixedThree(std::uint64_t us, std::uint64_t perUnit)
{
    // Split first: a damaged file's times must not overflow the product.
    std::uint64_t whole = us / perUnit;
    std::uint64_t thousandths = ((us % perUnit) * 1000 + perUnit / 2) / perUnit;
    if (thousandths == 1000) {
        ++whole;
        thousandths = 0;
    }
    char text[32];
    std::snprintf(text, sizeof text, "%llu.%03u", static_cast<unsigned long long>(whole),
                  static_cast<unsigned>(thousandths));
    return text;
}

std::string hex(std::uint32_t value, int digits)
{
    char text[16];
    std::snprintf(text, sizeof text, "%0*X", digits, static_cast<unsigned>(value));
    return text;
}

} // namespace

WordLogRowText::WordLogRowText(const FormatTables& formats, std::int64_t startUnixUs, UtcOffsetOf zone)
    : tables_(std::make_unique<std::array<LabelFormatTable, kChannels>>()), startUnixUs_(startUnixUs),
      time_(std::move(zone))
{
    for (std::size_t ch = 0; ch < kChannels; ++ch)
        buildLabelFormats((*tables_)[ch], formats, static_cast<std::uint16_t>(ch + 1));
}

const DecimalFormat* WordLogRowText::format(const CaptureEntry& e) const
{
    if (e.channel < 1 || e.channel > kChannels)
        return nullptr; // a damaged file's channel number has no formats
    const DecimalFormat& f = (*tables_)[e.channel - 1][wordLabel(e.word)];
    return f.tagEmpty() ? nullptr : &f;
}

std::string WordLogRowText::value(const CaptureEntry& e) const
{
    const DecimalFormat* f = format(e);
    if (!f)
        return {};
    char text[kSignedValueRoom];
    return std::string(text, putSignedValue(text, decimalValue(e.word, *f)));
}

WordLogRow WordLogRowText::row(const WordLogEntry& logged) const
{
    const CaptureEntry& e = logged.entry;
    const std::uint64_t sinceStartUs = e.timeUs > 0 ? static_cast<std::uint64_t>(e.timeUs) : 0;
    const std::uint32_t label = wordLabel(e.word);
    WordLogRow row;
    row.sinceStart = fixedThree(sinceStartUs, 1'000'000);
    row.wallClock = time_.text(wallClockOfEntryUs(startUnixUs_, sinceStartUs));
    row.channel = std::to_string(e.channel);
    row.label = {static_cast<char>('0' + (label >> 6)), static_cast<char>('0' + (label >> 3 & 7)),
                 static_cast<char>('0' + (label & 7))};
    row.sdi = std::to_string(wordSdi(e.word));
    row.data = hex(e.word >> 10 & 0x7FFFFu, 5);
    row.ssm = std::to_string(wordSsm(e.word));
    row.parity = wordParityOdd(e.word) ? "нечёт" : "чёт";
    row.word = hex(e.word, 8);
    row.value = value(e);
    if (const DecimalFormat* f = format(e))
        row.units = unitsUtf8(*f);
    // Words are timed when the tick reads them from the module's buffer, so two
    // of a label read in one tick came at most a period apart, not at once.
    if (logged.sinceSameLabelUs == 0)
        row.sinceSameLabel = "в такте";
    else if (logged.sinceSameLabelUs > 0)
        row.sinceSameLabel = fixedThree(static_cast<std::uint64_t>(logged.sinceSameLabelUs), 1000);
    else if (logged.sinceSameLabelUs == kIntervalUnknown)
        row.sinceSameLabel = "…"; // the scan of a recording has not reached it yet
    return row;
}

} // namespace telvar5
